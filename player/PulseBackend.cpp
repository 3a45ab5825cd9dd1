#include "player/PulseBackend.h"

#include "player/OutputFormat.h"
#include "player/OutputPatience.h"
#include "player/SoundTime.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstring>

using SoundTime::FrameBytes;

namespace {

constexpr std::size_t DeviceBufferBytes = OutputFormat::DeviceBufferFrames * FrameBytes;

bool settled(pa_context_state_t state)
{
    return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
}

bool settled(pa_stream_state_t state)
{
    return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
}

} // namespace

struct PulseBackend::Hooks {
    static void contextState(pa_context* context, void* data)
    {
        auto* self = static_cast<PulseBackend*>(data);
        self->contextState_ = pa_context_get_state(context);
        self->changed();
    }

    static void streamState(pa_stream* stream, void* data)
    {
        auto* self = static_cast<PulseBackend*>(data);
        self->streamState_ = pa_stream_get_state(stream);
        self->changed();
    }

    static void serverInfo(pa_context*, const pa_server_info* info, void* data)
    {
        auto* self = static_cast<PulseBackend*>(data);
        // pipewire-pulse names itself "PulseAudio (on PipeWire 0.3.65)".
        const bool onPipeWire = info != nullptr && info->server_name != nullptr &&
            std::strstr(info->server_name, "PipeWire") != nullptr;
        self->played_ = PlayedFrameClock(OutputFormat::SampleRate,
            onPipeWire ? PlayedFrameClock::Server::PipeWirePulse
                       : PlayedFrameClock::Server::PulseAudio);
        {
            const std::scoped_lock lock(self->changedMutex_);
            self->serverKnown_ = true;
        }
        // Only open() waits for this; the device thread need not look.
        self->changedWake_.notify_all();
    }

    // On the mainloop's thread, as a timing report asked for comes: it was
    // read between the asking and now.
    static void timingAnswered(pa_stream* stream, int success, void* data)
    {
        auto* self = static_cast<PulseBackend*>(data);
        if (self->asked_.empty())
            return;
        // The server answers in the order asked.
        const Ask ask = self->asked_.front();
        self->asked_.pop_front();
        const bool askedForWrite = ask.why == Asking::ForWrite;
        const pa_timing_info* timing = success ? pa_stream_get_timing_info(stream) : nullptr;
        if (timing == nullptr || timing->read_index_corrupt)
            return;
        if (!timing->playing) {
            self->played_.forget();
            return;
        }
        self->played_.report(ask.atNs, SoundTime::monotonicNs(),
            timing->read_index / std::int64_t(FrameBytes), std::int64_t(timing->sink_usec) * 1000);
        // After each write's report, one more, when it halves the bounds on
        // pipewire-pulse's timing; and while they are wide (the stream just
        // began), one after each of those too.
        if (!askedForWrite && !self->played_.wide())
            return;
        const std::optional<std::int64_t> splitNs = self->played_.splitAtNs();
        const std::int64_t nowNs = SoundTime::monotonicNs();
        if (self->splitReport_ != nullptr && splitNs && *splitNs > nowNs &&
            *splitNs < nowNs + SoundTime::NsPerSecond)
            pa_context_rttime_restart(
                self->context_, self->splitReport_, pa_usec_t(*splitNs / 1000));
    }

    static void splitDue(pa_mainloop_api*, pa_time_event*, const timeval*, void* data)
    {
        auto* self = static_cast<PulseBackend*>(data);
        self->askForReport(Asking::ForSplit);
    }

    static void underflow(pa_stream*, void* data)
    {
        static_cast<PulseBackend*>(data)->played_.forget();
    }

    // On the mainloop's thread: fills what the server asks for, a device
    // buffer at a time, each placed where the server's reports put its
    // first frame.
    static void write(pa_stream* stream, std::size_t asked, void* data)
    {
        auto* self = static_cast<PulseBackend*>(data);
        // A report asked for as the server asks for sound comes straight
        // after pipewire-pulse's graph cycle.
        self->askForReport(Asking::ForWrite);
        while (asked >= FrameBytes) {
            void* buffer = nullptr;
            std::size_t bytes = std::min(asked, DeviceBufferBytes);
            if (pa_stream_begin_write(stream, &buffer, &bytes) < 0 || buffer == nullptr)
                return;
            const std::size_t frames = std::min(bytes, asked) / FrameBytes;
            if (frames == 0) {
                pa_stream_cancel_write(stream);
                return;
            }
            self->render_(static_cast<float*>(buffer), frames, self->renderTimeOfNextFrame(stream));
            if (pa_stream_write(stream, buffer, frames * FrameBytes, nullptr, 0, PA_SEEK_RELATIVE) <
                0)
                return;
            self->framesWritten_ += std::int64_t(frames);
            asked -= frames * FrameBytes;
        }
    }
};

PulseBackend::~PulseBackend()
{
    close();
}

void PulseBackend::askForReport(Asking why)
{
    // One of each kind at a time: a write's report is asked for even while
    // a split's is out, for it is the one that comes straight after a cycle.
    for (const Ask& ask : asked_)
        if (ask.why == why)
            return;
    const std::int64_t askedNs = SoundTime::monotonicNs();
    if (pa_operation* asking =
            pa_stream_update_timing_info(stream_, &Hooks::timingAnswered, this)) {
        asked_.push_back({why, askedNs});
        pa_operation_unref(asking);
    }
}

std::int64_t PulseBackend::renderTimeOfNextFrame(pa_stream* stream) const
{
    if (const std::optional<std::int64_t> renderNs = played_.renderNs(framesWritten_))
        return SoundTime::wallClockOfMonotonicNs(*renderNs);
    // Until the stream plays and a report came: libpulse's own figure, the
    // time a frame written now takes to be played.
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(stream, &latency, &negative) == 0)
        return SoundTime::wallClockNs() + std::int64_t(latency) * 1000 * (negative ? -1 : 1);
    return SoundTime::wallClockNs() +
        std::int64_t(pa_bytes_to_usec(DeviceBufferBytes, pa_stream_get_sample_spec(stream))) * 1000;
}

void PulseBackend::changed()
{
    {
        // Taken and let go, so that a waiter between its look at the state
        // and its sleep is not missed.
        const std::scoped_lock lock(changedMutex_);
    }
    changedWake_.notify_all();
    if (health() != Health::Playing && wake_)
        wake_();
}

template <typename Settled> bool PulseBackend::waitFor(Settled isSettled)
{
    std::unique_lock lock(changedMutex_);
    return changedWake_.wait_for(lock, OutputPatience::PulseAudioStep, isSettled);
}

OpenFailure PulseBackend::giveUp(OpenFailure::Step step)
{
    QString reason;
    if (context_ != nullptr) {
        pa_threaded_mainloop_lock(loop_);
        reason = QString::fromUtf8(pa_strerror(pa_context_errno(context_)));
        pa_threaded_mainloop_unlock(loop_);
    }
    close();
    return {step, reason};
}

std::optional<OpenFailure> PulseBackend::open(Render render, std::function<void()> wake)
{
    render_ = std::move(render);
    wake_ = std::move(wake);
    contextState_ = PA_CONTEXT_UNCONNECTED;
    streamState_ = PA_STREAM_UNCONNECTED;
    answered_ = false;
    serverKnown_ = false;
    framesWritten_ = 0;
    asked_.clear();
    loop_ = pa_threaded_mainloop_new();
    if (loop_ == nullptr || pa_threaded_mainloop_start(loop_) < 0)
        return giveUp(OpenFailure::Step::StartLoop);
    pa_threaded_mainloop_lock(loop_);
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tarnwick");
    pa_context_set_state_callback(context_, &Hooks::contextState, this);
    const bool connecting =
        pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    pa_threaded_mainloop_unlock(loop_);
    const bool answered = connecting &&
        waitFor([this] { return settled(pa_context_state_t(contextState_.load())); }) &&
        contextState_ == PA_CONTEXT_READY;
    if (!answered)
        return giveUp(OpenFailure::Step::Connect);

    answered_ = true;
    // Which server answers decides how its timing reports are read; one
    // that does not say is read as PulseAudio.
    pa_threaded_mainloop_lock(loop_);
    if (pa_operation* asking = pa_context_get_server_info(context_, &Hooks::serverInfo, this))
        pa_operation_unref(asking);
    pa_threaded_mainloop_unlock(loop_);
    waitFor([this] {
        return serverKnown_ || !PA_CONTEXT_IS_GOOD(pa_context_state_t(contextState_.load()));
    });
    pa_threaded_mainloop_lock(loop_);
    if (!serverKnown_)
        played_ = PlayedFrameClock(OutputFormat::SampleRate, PlayedFrameClock::Server::PulseAudio);
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_FLOAT32NE;
    sampleFormat.rate = OutputFormat::SampleRate;
    sampleFormat.channels = OutputFormat::Channels;
    stream_ = pa_stream_new(context_, "Tarnwick", &sampleFormat, nullptr);
    pa_stream_set_state_callback(stream_, &Hooks::streamState, this);
    pa_stream_set_write_callback(stream_, &Hooks::write, this);
    splitReport_ = pa_context_rttime_new(context_, PA_USEC_INVALID, &Hooks::splitDue, this);
    pa_stream_set_underflow_callback(stream_, &Hooks::underflow, this);
    // About one device buffer queued, as the other backends keep; the
    // server adds the sink's own latency to it.
    pa_buffer_attr attr{};
    attr.maxlength = std::uint32_t(-1);
    attr.tlength = std::uint32_t(DeviceBufferBytes);
    attr.prebuf = std::uint32_t(-1);
    attr.minreq = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(-1);
    const auto flags = pa_stream_flags_t(
        PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
    const bool streaming =
        pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) >= 0;
    pa_threaded_mainloop_unlock(loop_);
    const bool ready = streaming &&
        waitFor([this] { return settled(pa_stream_state_t(streamState_.load())); }) &&
        streamState_ == PA_STREAM_READY;
    if (!ready)
        return giveUp(OpenFailure::Step::ConnectStream);
    return std::nullopt;
}

SoundBackend::Health PulseBackend::health()
{
    if (!PA_CONTEXT_IS_GOOD(pa_context_state_t(contextState_.load())))
        return Health::ServerGone;
    if (!PA_STREAM_IS_GOOD(pa_stream_state_t(streamState_.load())))
        return Health::DeviceLost;
    return Health::Playing;
}

void PulseBackend::close()
{
    if (loop_ != nullptr) {
        pa_threaded_mainloop_lock(loop_);
        // Without its callbacks first, so that nothing is mixed or told
        // once this returns.
        if (splitReport_ != nullptr)
            pa_threaded_mainloop_get_api(loop_)->time_free(splitReport_);
        if (stream_ != nullptr) {
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        if (context_ != nullptr) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }
    splitReport_ = nullptr;
    stream_ = nullptr;
    context_ = nullptr;
    loop_ = nullptr;
}
