#pragma once

#include "player/SoundBackend.h"
#include "player/SoundTime.h"

#include <atomic>
#include <memory>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;

// A playback stream of PipeWire's own (libpipewire-0.3): F32 interleaved
// stereo at OutputFormat's rate, linked by the session manager to the
// default sink. Each buffer's render time is the graph's own figure
// (pw_stream_get_time_n): the cycle's time, the delay to the device, and
// what is queued ahead of the buffer (pipeWireFirstFrameNs adds them up).
//
// Threads: a pw_thread_loop of its own for the connection; the buffers are
// filled on PipeWire's data thread (RT_PROCESS), which only mixes.
class PipeWireBackend final : public SoundBackend {
public:
    PipeWireBackend();
    ~PipeWireBackend() override;
    PipeWireBackend(const PipeWireBackend&) = delete;
    PipeWireBackend& operator=(const PipeWireBackend&) = delete;

    QString name() const override { return QStringLiteral("PipeWire"); }
    bool reportsRenderTime() const override { return true; }
    // The graph's own figures, which stray by a fraction of a millisecond
    // (server_bench finds starts within 0.13 ms of their second).
    std::int64_t jitterNs() const override { return SoundTime::NsPerMs; }
    std::optional<OpenFailure> open(Render render, std::function<void()> wake) override;
    bool serverAnswered() const override { return answered_; }
    Health health() override;
    void close() override;

    struct Hooks; // the C callbacks

private:
    // Everything up to the stream's link, under the loop's lock; what
    // failed, and open() gives up.
    std::optional<OpenFailure> connectStream();
    // Notes `lost` (gone_ or streamLost_) and wakes the device thread once.
    void markLost(std::atomic<bool>& lost);

    Render render_;
    std::function<void()> wake_;
    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    struct Listeners;
    std::unique_ptr<Listeners> listeners_;
    std::atomic<bool> gone_{false}; // the connection to the server
    std::atomic<bool> streamLost_{false}; // the stream failed, the server stays
    bool answered_ = false;
    // The stream's state as last told, on the loop's thread (under its lock).
    int state_ = 0;
    QString error_;
};
