#pragma once

#include "MixerHold.h"
#include "MixerTimeline.h"
#include "SoundBackend.h"
#include "SoundBackends.h"
#include "SoundOutputCheck.h"
#include "SoundTime.h"
#include "StallWatch.h"
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
class AudioOutput final : public SoundOutputCheck, public MixerHold {
public:
    static constexpr std::size_t MaxVoices = 64;

    // The backends to try, in order, until one opens; called on the device
    // thread until one has. Tests put in one of their own.
    using BackendChoice = std::function<std::vector<std::unique_ptr<SoundBackend>>()>;

    // The wall clock (ns) the mixer's timeline and the starts are counted
    // on; a test that plays the server's part keeps a time of its own.
    using WallClock = std::function<std::int64_t()>;

    explicit AudioOutput(
        BackendChoice choose = soundBackendsToTry, WallClock wallClock = SoundTime::wallClockNs);
    ~AudioOutput() override;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    void attach(Voice& voice);
    void detach(Voice& voice);

    bool isOpen() const { return open_.load(); }
    std::int64_t wallClockNs() const { return wallClock_(); }
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

    // While it is held the callback does not run, so a voice can be reset.
    // The holds nest: a start held whole (MixerHold) holds it within.
    std::unique_lock<std::recursive_mutex> holdMixer() { return std::unique_lock(mixMutex_); }
    void hold() override { mixMutex_.lock(); }
    void release() override { mixMutex_.unlock(); }

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
    // it was, on the monotonic clock. Nothing while none was seen, and a gap
    // the whole program stood still through is none.
    using Stall = StallWatch::Stall;
    std::optional<Stall> lastStall() const;

private:
    enum class State { Opening, Open, Failed };

    void mix(float* out, std::size_t frames, std::int64_t reportedNs);
    void mixVoice(Voice& voice, float* out, std::size_t frames, std::int64_t firstFrameNs);
    QString standingStill() const;

    // The device thread and what only it calls.
    void runDevice(std::stop_token stop);
    void openOutput();
    std::optional<OpenFailure> openBackend(SoundBackend& backend);
    void watchOutput();
    void setState(State state, const QString& reason = {});
    void wake();

    BackendChoice choose_;
    const WallClock wallClock_;
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

    std::recursive_mutex mixMutex_;
    // Guarded by mixMutex_.
    std::array<Voice*, MaxVoices> voices_{};
    StartSwitch switch_;
    std::uint64_t framesMixed_ = 0;
    std::optional<FiredSwitch> fired_;
    MixerTimeline timeline_;
    // The output's progress, seen from the audio and the device thread.
    StallWatch stalls_;

    std::jthread deviceThread_;
};
