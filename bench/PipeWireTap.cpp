#include "PipeWireTap.h"

#include "player/SoundTime.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <spa/pod/builder.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace sink_take;

namespace {

// Graph ticks (pw_time.rate) in nanoseconds.
std::int64_t tickNs(std::int64_t ticks, const spa_fraction& rate)
{
    return rate.denom == 0 ? 0 : ticks * SecondNs * rate.num / rate.denom;
}

pw_stream_events eventsCalling(void (*process)(void*))
{
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.process = process;
    return events;
}

const pw_stream_events captureEvents = eventsCalling(&PipeWireTap::onCapture);
const pw_stream_events clickEvents = eventsCalling(&PipeWireTap::onClicks);

pw_stream* connectMono(pw_thread_loop* loop, const char* name, const char* sink, bool capture,
    const pw_stream_events& events, void* self)
{
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
        capture ? "Capture" : "Playback", PW_KEY_NODE_NAME, name, PW_KEY_TARGET_OBJECT, sink,
        nullptr);
    if (capture)
        pw_properties_set(props, PW_KEY_STREAM_CAPTURE_SINK, "true");
    pw_stream* stream =
        pw_stream_new_simple(pw_thread_loop_get_loop(loop), name, props, &events, self);
    if (stream == nullptr)
        benchFail("cannot make a PipeWire stream");
    std::uint8_t buffer[1024];
    spa_pod_builder builder{};
    builder.data = buffer;
    builder.size = sizeof buffer;
    spa_audio_info_raw mono{};
    mono.format = SPA_AUDIO_FORMAT_F32;
    mono.rate = Rate;
    mono.channels = 1;
    mono.position[0] = SPA_AUDIO_CHANNEL_MONO;
    const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &mono)};
    const auto flags = pw_stream_flags(
        PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
    if (pw_stream_connect(stream, capture ? PW_DIRECTION_INPUT : PW_DIRECTION_OUTPUT, PW_ID_ANY,
            flags, params, 1) < 0)
        benchFail("cannot connect a PipeWire stream");
    return stream;
}

} // namespace

PipeWireTap::PipeWireTap(const char* sink)
{
    // A report every cycle, and the quantum changes as streams come and go:
    // the nearest 0.3 s of reports say where a frame is.
    take_.recording.spanFrames = 0.3 * Rate;
    take_.playback.spanFrames = 0.3 * Rate;
    pw_init(nullptr, nullptr);
    loop_ = pw_thread_loop_new("server_bench ear", nullptr);
    pw_thread_loop_lock(loop_);
    capture_ = connectMono(loop_, "server_bench monitor", sink, true, captureEvents, this);
    clicks_ = connectMono(loop_, "server_bench clicks", sink, false, clickEvents, this);
    pw_thread_loop_unlock(loop_);
    if (pw_thread_loop_start(loop_) < 0)
        benchFail("cannot start PipeWire's loop");
}

PipeWireTap::~PipeWireTap()
{
    pw_thread_loop_stop(loop_);
    pw_stream_destroy(capture_);
    pw_stream_destroy(clicks_);
    pw_thread_loop_destroy(loop_);
    pw_deinit();
}

void PipeWireTap::waitForTiming()
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
        {
            const std::lock_guard lock(mutex_);
            if (take_.recording.anchors.size() >= 20 && take_.playback.anchors.size() >= 20)
                return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    benchFail("the PipeWire streams do not run (is the sink there?)");
}

// Like the PulseAudio ear's: the frame the click stream's timing puts at
// `ns`; where it is really rendered is found from the reports around it.
void PipeWireTap::clickNear(std::int64_t ns)
{
    const std::lock_guard lock(mutex_);
    const Anchor latest = take_.playback.anchors.back();
    const auto frame = std::int64_t(latest.frame + double(ns - latest.atNs) / FrameNs);
    if (frame < written_)
        benchFail("a calibration click was asked for too late");
    take_.clickFrames.push_back(frame);
}

Take PipeWireTap::finish()
{
    const std::lock_guard lock(mutex_);
    finished_ = true;
    return std::move(take_);
}

// Every buffer waiting is taken; the last one is this cycle's. The sink
// drives the graph and mixes last in a cycle, so what it rendered in one
// cycle reaches its monitor's readers in the next: the buffer's first frame
// was rendered one buffer, the graph's delay and what the resampler holds
// before this cycle began.
void PipeWireTap::onCapture(void* self)
{
    auto& tap = *static_cast<PipeWireTap*>(self);
    pw_time time{};
    pw_stream_get_time_n(tap.capture_, &time, sizeof time);
    std::uint32_t waiting = std::max<std::uint32_t>(time.avail_buffers, 1);
    while (pw_buffer* b = pw_stream_dequeue_buffer(tap.capture_)) {
        const spa_data& data = b->buffer->datas[0];
        const std::lock_guard lock(tap.mutex_);
        if (!tap.finished_ && data.data != nullptr && data.chunk != nullptr) {
            auto& recorded = tap.take_.recorded;
            if (waiting == 1)
                tap.take_.recording.anchors.push_back(
                    {SoundTime::wallClockOfMonotonicNs(time.now) - tickNs(time.delay, time.rate) -
                            std::int64_t(double(data.chunk->size / sizeof(float)) * FrameNs),
                        double(recorded.size())});
            const auto* from = reinterpret_cast<const float*>(
                static_cast<const std::uint8_t*>(data.data) + data.chunk->offset % data.maxsize);
            recorded.insert(recorded.end(), from, from + data.chunk->size / sizeof(float));
        }
        waiting = std::max<std::uint32_t>(waiting - 1, 1);
        pw_stream_queue_buffer(tap.capture_, b);
    }
}

// The first frame of the buffer filled now is rendered after the frames
// already queued, those in the converter, and the graph's delay.
void PipeWireTap::onClicks(void* self)
{
    auto& tap = *static_cast<PipeWireTap*>(self);
    pw_buffer* b = pw_stream_dequeue_buffer(tap.clicks_);
    if (b == nullptr)
        return;
    pw_time time{};
    pw_stream_get_time_n(tap.clicks_, &time, sizeof time);
    spa_data& data = b->buffer->datas[0];
    if (data.data == nullptr) {
        pw_stream_queue_buffer(tap.clicks_, b);
        return;
    }
    std::uint64_t frames = data.maxsize / sizeof(float);
    if (b->requested != 0)
        frames = std::min<std::uint64_t>(frames, b->requested);
    auto* out = static_cast<float*>(data.data);
    std::fill(out, out + frames, 0.0f);
    {
        const std::lock_guard lock(tap.mutex_);
        if (!tap.finished_) {
            const std::int64_t renderedNs = SoundTime::wallClockOfMonotonicNs(time.now) +
                tickNs(time.delay, time.rate) +
                std::int64_t(double(time.buffered + time.queued) * FrameNs);
            tap.take_.playback.anchors.push_back({renderedNs, double(tap.written_)});
            tap.take_.sinkLatencyMs.push_back(double(tickNs(time.delay, time.rate)) / 1e6);
            const std::int64_t end = tap.written_ + std::int64_t(frames);
            for (const std::int64_t click : tap.take_.clickFrames)
                if (click >= tap.written_ && click < end)
                    out[click - tap.written_] = ClickLevel;
            tap.written_ = end;
        }
    }
    data.chunk->offset = 0;
    data.chunk->stride = sizeof(float);
    data.chunk->size = std::uint32_t(frames * sizeof(float));
    b->size = frames;
    pw_stream_queue_buffer(tap.clicks_, b);
}
