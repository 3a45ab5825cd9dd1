#pragma once

#include "GuiInbox.h"
#include "MixerTimeline.h"
#include "OutputFormat.h"
#include "SoundOutputCheck.h"
#include "StartSwitch.h"

#include <QObject>
#include <QString>

#include <SDL2/SDL_audio.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

struct Voice;

// The one sound output all players share, and the check ahead of a start
// that it is there: an SDL audio device (SDL's audio
// subsystem only, no window) whose callback mixes the voices of the players.
//
// The device is opened as soon as the output is made and kept open and
// running, so the first start of the day is placed like every other.
//
// Threads: the device is opened, watched and reopened on the output's own
// device thread, never on the GUI thread: SDL's initialisation and its
// device calls can wait as long as a hung sound server does. The GUI thread
// reads how it stands (isOpen, problem), and is told by stateChanged when
// that changes. The callback runs
// on SDL's audio thread and only mixes: it reads the voices' rings and
// atomics, never decodes, allocates, or waits for a decoder. The mixer's own
// state (the voices attached, the placed start) is guarded by a mutex that
// the callback holds while it mixes and the GUI thread holds for a few
// assignments; nobody holds it across a call into SDL or a file.
//
// A device lost while open is closed and reopened on the default device,
// and playback goes on where it was.
//
// Ownership: the voices belong to their players, which attach them for
// their lifetime. The output must outlive every player attached to it.
class AudioOutput final : public QObject, public SoundOutputCheck {
    Q_OBJECT
public:
    static constexpr std::size_t MaxVoices = 64;

    // Opens the default device for `wanted`, or 0 with SDL's reason; called
    // on the device thread alone. Tests put in one that answers when told.
    using DeviceOpener = std::function<SDL_AudioDeviceID(const SDL_AudioSpec& wanted)>;
    static SDL_AudioDeviceID openDefaultDevice(const SDL_AudioSpec& wanted);

    explicit AudioOutput(DeviceOpener openDevice = openDefaultDevice, QObject* parent = nullptr);
    ~AudioOutput() override;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    void attach(Voice& voice);
    void detach(Voice& voice);

    bool isOpen() const { return device_.load() != 0; }
    // Why there is no sound output now: empty while the device is open and
    // playing, or while it is being opened and has not yet taken long; an
    // open device that has asked for no sound for half a second stands still.
    QString problem() const override;

    // While it is held the callback does not run, so a voice can be reset.
    std::unique_lock<std::mutex> holdMixer() { return std::unique_lock(mixMutex_); }

    // How often the device was found lost and reopened (for tests and logs).
    int reopenCount() const { return reopens_.load(); }

    // Places a start ahead (see StartSwitch): `voice` starts at the output
    // frame heard at `atNs` on the wall clock, and every other voice falls
    // silent at that frame. Replaces any switch placed before.
    void armStart(Voice& voice, std::int64_t atNs);
    void disarmStart(const Voice& voice);

    // The mixer's timeline: the first frame of each buffer is taken to be
    // heard at the wall-clock time of its callback (kept over many callbacks,
    // MixerTimeline) plus this latency, the buffer the device is playing
    // while the next one is filled.
    static constexpr std::int64_t LatencyNs =
        std::int64_t(OutputFormat::DeviceBufferFrames) * 1'000'000'000 / OutputFormat::SampleRate;

    // Where the last switch fired: its frame counted from the device's
    // opening (the frames the device was handed before it), and when that
    // frame is heard.
    struct FiredSwitch {
        std::uint64_t frame;
        std::int64_t heardNs;
    };
    std::optional<FiredSwitch> lastFiredSwitch();

    // When the device last went quiet for longer than it should (no callback
    // for two buffers and more while open): when the gap ended and how long
    // it was, on the wall clock. Nothing while none was seen.
    struct Stall {
        std::int64_t endedNs;
        std::int64_t lengthNs;
    };
    std::optional<Stall> lastStall() const;

signals:
    // The device opened, was lost, or cannot be opened (GUI thread).
    void stateChanged();

private:
    enum class State { Opening, Open, Failed };

    static void callback(void* self, Uint8* stream, int bytes);
    void mix(float* out, std::size_t frames);
    void mixVoice(Voice& voice, float* out, std::size_t frames, std::int64_t firstFrameNs);
    void noteCallbackTime(std::int64_t nowNs);

    // The device thread and what only it calls.
    void runDevice(std::stop_token stop);
    void openDevice();
    void closeDevice();
    void watchDevice();
    void setState(State state, const QString& reason = {});

    DeviceOpener openDevice_;
    std::atomic<SDL_AudioDeviceID> device_{0};
    bool subsystemUp_ = false; // device thread only
    bool reportedOpenFailure_ = false; // device thread only
    std::atomic<int> reopens_{0};

    mutable std::mutex stateMutex_;
    std::condition_variable_any stateWake_;
    State state_ = State::Opening;
    QString failure_;
    std::int64_t openingSinceMs_ = 0;

    std::mutex mixMutex_;
    // Guarded by mixMutex_.
    std::array<Voice*, MaxVoices> voices_{};
    StartSwitch switch_;
    std::uint64_t framesMixed_ = 0;
    std::optional<FiredSwitch> fired_;
    MixerTimeline timeline_;
    // When the last callback came: written by the audio thread, read by the
    // GUI thread to see a device that stands still while open.
    std::atomic<std::int64_t> lastCallbackNs_{0};
    std::atomic<std::int64_t> stallEndedNs_{0};
    std::atomic<std::int64_t> stallLengthNs_{0};

    GuiInbox inbox_;

    std::jthread deviceThread_;
};
