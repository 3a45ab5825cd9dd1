#pragma once

#include "SoundOutputCheck.h"

class AudioOutput;

// The production output check. While the players' shared output is open it
// is the answer, and nothing touches the device that plays; otherwise a
// device of the players' format is opened and closed again at once. SDL's
// device calls are made under the same lock as the shared output's.
class SdlOutputCheck final : public SoundOutputCheck {
public:
    explicit SdlOutputCheck(const AudioOutput& output);
    ~SdlOutputCheck() override;
    SdlOutputCheck(const SdlOutputCheck&) = delete;
    SdlOutputCheck& operator=(const SdlOutputCheck&) = delete;

    bool outputWorking() const override;
    QString tryOpen() override;

private:
    const AudioOutput& output_;
    bool subsystemUp_ = false;
};
