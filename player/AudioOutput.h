#pragma once

#include "MixerTimeline.h"
#include "SoundBackend.h"
#include "SoundBackends.h"
#include "SoundOutputCheck.h"
#include "StartSwitch.h"

#include <QString>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

struct Voice;

// The one sound output all players share, and the check ahead of a start
// that it is there: a SoundBackend (the sound server's own client library
// where one runs, SDL as the last fallback) whose render callback mixes the
// voices of the players.
//
// The output is opened as soon as it is made and kept open and running, so
// the first start of the day is placed like every other.
//
// Threads: the backend is chosen, opened, watched and reopened on the
// output's own device thread, never on the GUI thread: opening can wait as
// long as a hung sound server does. The GUI thread reads how it stands
// (isOpen, problem). The render callback runs on the backend's audio thread
// and only mixes: it reads the voices' rings and atomics, never decodes,
// allocates, or waits for a decoder. The mixer's own state (the voices
// attached, the placed start) is guarded by a mutex that the callback holds
// while it mixes and the GUI thread holds for a few assignments; nobody
// holds it across a call into a backend or a file.
//
// An output lost while open (its device, or its whole sound server) is
// closed and opened again through the same backend, and playback goes on
// where it was.
//
// Ownership: the voices belong to their players, which attach them for
// their lifetime. The output must outlive every player attached to it.
class AudioOutput final : public SoundOutputCheck {
public:
    static constexpr std::size_t MaxVoices = 64;

    // The backends to try, in order, until one opens; called on the device
    // thread until one has. Tests put in one of their own.
    using BackendChoice = std::function<std::vector<std::unique_ptr<SoundBackend>>()>;

    explicit AudioOutput(BackendChoice choose = soundBackendsToTry);
    ~AudioOutput() override;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    void attach(Voice& voice);
    void detach(Voice& voice);

    bool isOpen() const { return open_.load(); }
    // Why there is no sound output now: empty while the output is open and
    // playing, or while it is being opened and has not yet taken long; an
    // open output that has asked for no sound for half a second stands still.
    QString problem() const override;
    // The backend that plays ("PipeWire", ...), empty before one opened.
    QString name() const override;

    // While it is held the callback does not run, so a voice can be reset.
    std::unique_lock<std::mutex> holdMixer() { return std::unique_lock(mixMutex_); }

    // How often the output was found lost and reopened (for tests and logs).
    int reopenCount() const { return reopens_.load(); }

    // Places a start ahead (see StartSwitch): `voice` starts at the output
    // frame heard at `atNs` on the wall clock, and every other voice falls
    // silent at that frame. Replaces any switch placed before.
    void armStart(Voice& voice, std::int64_t atNs);
    void disarmStart(const Voice& voice);

    // Where the last switch fired: its frame counted from the output's
    // opening (the frames it was handed before it), and when that frame is
    // heard.
    struct FiredSwitch {
        std::uint64_t frame;
        std::int64_t heardNs;
    };
    std::optional<FiredSwitch> lastFiredSwitch();

    // When the output last went quiet for longer than it should (no callback
    // for two buffers and more while open): when the gap ended and how long
    // it was, on the wall clock. Nothing while none was seen.
    struct Stall {
        std::int64_t endedNs;
        std::int64_t lengthNs;
    };
    std::optional<Stall> lastStall() const;

private:
    enum class State { Opening, Open, Failed };

    void mix(float* out, std::size_t frames, std::int64_t reportedNs);
    void mixVoice(Voice& voice, float* out, std::size_t frames, std::int64_t firstFrameNs);
    void noteCallbackTime(std::int64_t nowNs, std::size_t frames);

    // The device thread and what only it calls.
    void runDevice(std::stop_token stop);
    void openOutput();
    std::optional<OpenFailure> openBackend(SoundBackend& backend);
    void watchOutput();
    void setState(State state, const QString& reason = {});
    void wake();

    BackendChoice choose_;
    // Device thread only: the backend that played, or whose server answered.
    std::unique_ptr<SoundBackend> backend_;
    bool played_ = false; // device thread only
    bool reportedOpenFailure_ = false; // device thread only
    bool serverGone_ = false; // device thread only
    std::atomic<bool> open_{false};
    std::atomic<int> reopens_{0};

    mutable std::mutex stateMutex_;
    std::condition_variable_any stateWake_;
    bool wakeRequested_ = false;
    State state_ = State::Opening;
    QString failure_;
    QString name_;
    std::int64_t openingSinceMs_ = 0;

    std::mutex mixMutex_;
    // Guarded by mixMutex_.
    std::array<Voice*, MaxVoices> voices_{};
    StartSwitch switch_;
    std::uint64_t framesMixed_ = 0;
    std::optional<FiredSwitch> fired_;
    MixerTimeline timeline_;
    // When the last callback came: written by the audio thread, read by the
    // GUI thread to see an output that stands still while open.
    std::atomic<std::int64_t> lastCallbackNs_{0};
    std::atomic<std::int64_t> stallEndedNs_{0};
    std::atomic<std::int64_t> stallLengthNs_{0};

    std::jthread deviceThread_;
};
