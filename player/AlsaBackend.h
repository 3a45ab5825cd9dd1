#pragma once

#include "player/SoundBackend.h"

#include <atomic>
#include <thread>

struct _snd_pcm;

// ALSA's "default" device (alsa-lib), where no sound server answers: F32
// stereo at OutputFormat's rate in periods of one device buffer, written on
// a thread of its own. Each period is placed at the device's own delay, read
// with its timestamp (snd_pcm_status) just before it is written.
class AlsaBackend final : public SoundBackend {
public:
    AlsaBackend() = default;
    ~AlsaBackend() override;
    AlsaBackend(const AlsaBackend&) = delete;
    AlsaBackend& operator=(const AlsaBackend&) = delete;

    QString name() const override { return QStringLiteral("ALSA"); }
    bool reportsRenderTime() const override { return true; }
    // Some devices (and plugins such as the pulse one) move their pointer a
    // period at a time.
    std::int64_t jitterNs() const override;
    std::optional<OpenFailure> open(Render render, std::function<void()> wake) override;
    bool serverAnswered() const override { return false; }
    Health health() override;
    void close() override;

private:
    std::optional<OpenFailure> configure();
    void play(std::stop_token stop);
    // Writes one period; false once the device is gone.
    bool writePeriod(float* period);

    Render render_;
    std::function<void()> wake_;
    _snd_pcm* pcm_ = nullptr;
    unsigned rate_ = 0;
    std::atomic<bool> lost_{false};
    std::jthread thread_;
};
