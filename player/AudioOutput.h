#pragma once

#include "OutputFormat.h"
#include "StartSwitch.h"

#include <QObject>
#include <QTimer>

#include <SDL2/SDL_audio.h>

#include <array>
#include <cstdint>
#include <optional>

struct Voice;

// The one sound output all players share: an SDL audio device (SDL's audio
// subsystem only, no window) whose callback mixes the voices of the players.
//
// Threads: every member is called on the GUI thread. The callback runs on
// SDL's audio thread and only mixes: it reads the voices' rings and atomics,
// never decodes, allocates, or waits for a decoder. The device is opened on
// the first play, not before, so the window and the files open without a
// sound card; a device that is lost while open is reopened on the default
// device, and playback goes on where it was.
//
// Ownership: the voices belong to their players, which attach them for
// their lifetime. The output must outlive every player attached to it.
class AudioOutput final : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t MaxVoices = 64;

    explicit AudioOutput(QObject* parent = nullptr);
    ~AudioOutput() override;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    void attach(Voice& voice);
    void detach(Voice& voice);

    // Opens the device if it is not open; a PlatformError "no sound output:
    // <reason>" if it cannot be, and the next call tries again.
    void ensureOpen();
    bool isOpen() const { return device_ != 0; }

    // While one is alive the callback does not run, so a voice can be reset.
    class MixerLock {
    public:
        explicit MixerLock(SDL_AudioDeviceID device);
        ~MixerLock();
        MixerLock(const MixerLock&) = delete;
        MixerLock& operator=(const MixerLock&) = delete;

    private:
        SDL_AudioDeviceID device_;
    };
    MixerLock holdMixer() const { return MixerLock(device_); }

    // How often the device was found lost and reopened (for tests and logs).
    int reopenCount() const { return reopens_; }

    // Places a start ahead (see StartSwitch): `voice` starts at the output
    // frame heard at `atNs` on the wall clock, and every other voice falls
    // silent at that frame. Replaces any switch placed before. The device
    // must be open.
    void armStart(Voice& voice, std::int64_t atNs);
    void disarmStart(const Voice& voice);

    // The mixer's timeline: the first frame of each buffer is taken to be
    // heard at the wall-clock time of its callback plus this latency, the
    // buffer the device is playing while the next one is filled.
    static constexpr std::int64_t LatencyNs =
        std::int64_t(OutputFormat::DeviceBufferFrames) * 1'000'000'000 / OutputFormat::SampleRate;

    // Where the last switch fired: its frame counted from the device's
    // opening (the frames the device was handed before it), and when that
    // frame is heard.
    struct FiredSwitch {
        std::uint64_t frame;
        std::int64_t heardNs;
    };
    std::optional<FiredSwitch> lastFiredSwitch() const;

private:
    static void callback(void* self, Uint8* stream, int bytes);
    void mix(float* out, std::size_t frames);
    void mixVoice(Voice& voice, float* out, std::size_t frames, std::int64_t firstFrameNs);
    void openDevice();
    void closeDevice();
    void checkDevice();

    bool subsystemUp_ = false;
    SDL_AudioDeviceID device_ = 0;
    std::array<Voice*, MaxVoices> voices_{};
    QTimer watch_;
    int reopens_ = 0;
    bool reportedReopenFailure_ = false;
    // Touched by the callback, and by the GUI thread only under MixerLock.
    StartSwitch switch_;
    std::uint64_t framesMixed_ = 0;
    std::optional<FiredSwitch> fired_;
};
