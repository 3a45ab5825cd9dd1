#pragma once

#include "platform/SoundOutputCheck.h"
#include "player/BackendOrder.h"
#include "player/Mixer.h"
#include "player/SoundBackend.h"
#include "player/SoundTime.h"
#include "player/StallWatch.h"

#include <QString>

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

// The one sound output all players share, and the check ahead of a start
// that it is there: the device's life (choosing a SoundBackend, the sound
// server's own client library where one runs, SDL as the last fallback;
// opening it, watching it, reopening it, and whether it stands still), whose
// render callback is the mixer's (Mixer), which the output owns.
//
// The output is opened as soon as it is made and kept open and running, so
// the first start of the day is placed like every other.
//
// Threads: the backend is chosen, opened, watched and reopened on the
// output's own device thread, never on the GUI thread: opening can wait as
// long as a hung sound server does. The GUI thread reads how it stands
// (isOpen, problem, unavailable). The render callback runs on the backend's
// audio thread: it notes the device's progress and hands the buffer to the
// mixer. The device and the mixer meet there and at a reopen, where the
// mixer starts its count and its timeline afresh; nothing else of either
// reaches the other.
//
// An output lost while open (its device, or its whole sound server) is
// closed and opened again through the same backend, and playback goes on
// where it was.
//
// Ownership: the output must outlive every player attached to its mixer.
class AudioOutput final : public SoundOutputCheck {
public:
    // The backends to try, in order, until one opens; called on the device
    // thread until one has. Tests put in one of their own.
    using BackendChoice = std::function<std::vector<std::unique_ptr<SoundBackend>>()>;

    explicit AudioOutput(BackendChoice choose = soundBackendsToTry,
        Mixer::WallClock wallClock = SoundTime::wallClockNs);
    ~AudioOutput() override;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    Mixer& mixer() { return mixer_; }

    bool isOpen() const { return open_.load(); }
    // Why there is no sound output now: empty while the output is open and
    // playing, or while it is being opened and has not yet taken long; an
    // open output that has asked for no sound for half a second while the
    // program ran stands still.
    QString problem() const override;
    // Why a start cannot be played now: the output failed, was lost, or its
    // server does not answer. An output that stands still is no reason: its
    // sound comes when it runs again.
    QString unavailable() const;
    // The backend that plays ("PipeWire", ...), empty before one opened.
    QString name() const override;

    // How often the output was found lost and reopened (for tests and logs).
    int reopenCount() const { return reopens_.load(); }

    // When the output last went quiet for longer than it should (no callback
    // for two buffers and more while open): when the gap ended and how long
    // it was, on the monotonic clock. Nothing while none was seen, and a gap
    // the whole program stood still through is none.
    using Stall = StallWatch::Stall;
    std::optional<Stall> lastStall() const;

private:
    enum class State { Opening, Open, Failed };

    QString standingStill() const;

    // The device thread and what only it calls.
    void runDevice(std::stop_token stop);
    void openOutput();
    std::optional<OpenFailure> openBackend(SoundBackend& backend);
    void watchOutput();
    void setState(State state, const QString& reason = {});
    void wake();

    BackendChoice choose_;
    Mixer mixer_;
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

    // The output's progress, seen from the audio and the device thread.
    StallWatch stalls_;

    std::jthread deviceThread_;
};
