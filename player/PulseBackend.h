#pragma once

#include "player/OutputFormat.h"
#include "player/PlayedFrameClock.h"
#include "player/SoundBackend.h"
#include "player/SoundTime.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_time_event;

// A playback stream of PulseAudio's own (libpulse), to a PulseAudio server
// or to PipeWire's pipewire-pulse: F32 stereo at OutputFormat's rate, asked
// to keep about one device buffer queued. Each chunk written is placed where
// the server's timing reports put its first frame (PlayedFrameClock: how far
// the stream has played, read so that pipewire-pulse's stale reports do not
// put it late). A server that is not running is not started (no autospawn):
// the desktop's own decides.
//
// Threads: a pa_threaded_mainloop of its own, on which the chunks are mixed.
class PulseBackend final : public SoundBackend {
public:
    PulseBackend() = default;
    ~PulseBackend() override;
    PulseBackend(const PulseBackend&) = delete;
    PulseBackend& operator=(const PulseBackend&) = delete;

    QString name() const override { return QStringLiteral("PulseAudio"); }
    bool reportsRenderTime() const override { return true; }
    // Interpolated between the server's timing updates, which correct it by
    // a millisecond or so.
    std::int64_t jitterNs() const override { return SoundTime::NsPerMs; }
    std::optional<OpenFailure> open(Render render, std::function<void()> wake) override;
    bool serverAnswered() const override { return answered_; }
    Health health() override;
    void close() override;

    struct Hooks; // the C callbacks

private:
    // Waits until `settled` holds, or a while; whether it did.
    template <typename Settled> bool waitFor(Settled settled);
    void changed();
    // The one way an open gives up: all closed, with the server's own
    // reason for what failed at `step`.
    OpenFailure giveUp(OpenFailure::Step step);
    enum class Asking { ForWrite, ForSplit }; // a timing report
    void askForReport(Asking why);
    // On the wall clock, when the next frame written is rendered.
    std::int64_t renderTimeOfNextFrame(pa_stream* stream) const;

    Render render_;
    std::function<void()> wake_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    // The states as last told (pa_context_state_t, pa_stream_state_t).
    std::atomic<int> contextState_{0};
    std::atomic<int> streamState_{0};
    bool answered_ = false;
    std::atomic<bool> serverKnown_{false}; // whether it said which it is
    // The rest is the mainloop thread's.
    PlayedFrameClock played_{OutputFormat::SampleRate, PlayedFrameClock::Server::PulseAudio};
    std::int64_t framesWritten_ = 0; // since the stream was made
    struct Ask {
        Asking why;
        std::int64_t atNs; // monotonicClockNs
    };
    std::deque<Ask> asked_; // the reports asked for and not back yet
    pa_time_event* splitReport_ = nullptr;
    std::mutex changedMutex_;
    std::condition_variable changedWake_;
};
