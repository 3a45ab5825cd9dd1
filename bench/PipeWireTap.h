#pragma once

#include "SinkTake.h"

#include <cstdint>
#include <mutex>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;

// The benches' ear on a PipeWire sink, through PipeWire's own client
// library: a capture stream of the sink's monitor and a playback stream of
// silence that carries the calibration clicks. Every graph cycle each stream
// asks the server (pw_stream_get_time_n) when the sink renders the first
// frame of the buffer it handles, on the graph's monotonic clock, which the
// bench puts on the wall clock. Neither stream asks for a latency, so the
// quantum stays the program's or the one forced.
//
// Threads: the streams' process callbacks run on PipeWire's data thread and
// take the mutex for a few appends; the bench reads under it.
class PipeWireTap {
public:
    // Connects to the server named by the environment (PIPEWIRE_RUNTIME_DIR)
    // and links both streams to the sink called `sink`.
    explicit PipeWireTap(const char* sink);
    ~PipeWireTap();
    PipeWireTap(const PipeWireTap&) = delete;
    PipeWireTap& operator=(const PipeWireTap&) = delete;

    // Returns once both streams have run for a while.
    void waitForTiming();
    // A click on the click stream at the frame its timing puts at `ns`.
    void clickNear(std::int64_t ns);
    // Stops both streams and hands over what they gathered.
    sink_take::Take finish();

    static void onCapture(void* self);
    static void onClicks(void* self);

private:
    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* capture_ = nullptr;
    pw_stream* clicks_ = nullptr;

    std::mutex mutex_;
    // Guarded by mutex_.
    sink_take::Take take_;
    std::int64_t written_ = 0;
    bool finished_ = false;
};
