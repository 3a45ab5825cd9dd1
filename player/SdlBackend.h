#pragma once

#include "player/SoundBackend.h"

#include <SDL2/SDL_audio.h>

#include <functional>

// The last fallback: an SDL audio device (SDL's audio subsystem only, no
// window). SDL does not say when a frame is rendered, so the first frame of
// each buffer is taken to be heard one device buffer after its callback, the
// buffer the device plays while the next is filled: right on a server whose
// latency is one buffer, wrong by the difference elsewhere.
class SdlBackend final : public SoundBackend {
public:
    // Opens the default device for `wanted`, or 0 with SDL's reason. Tests
    // put in one that answers when told, or records to a file.
    using DeviceOpener = std::function<SDL_AudioDeviceID(const SDL_AudioSpec& wanted)>;
    static SDL_AudioDeviceID openDefaultDevice(const SDL_AudioSpec& wanted);

    explicit SdlBackend(DeviceOpener openDevice = openDefaultDevice);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    QString name() const override { return QStringLiteral("SDL"); }
    bool reportsRenderTime() const override { return false; }
    // Its callbacks' wake-ups, up to a buffer.
    std::int64_t jitterNs() const override;
    std::optional<OpenFailure> open(Render render, std::function<void()> wake) override;
    bool serverAnswered() const override { return false; }
    Health health() override;
    void close() override;

private:
    static void callback(void* self, Uint8* stream, int bytes);

    DeviceOpener openDevice_;
    Render render_;
    SDL_AudioDeviceID device_ = 0;
    bool subsystemUp_ = false;
};
