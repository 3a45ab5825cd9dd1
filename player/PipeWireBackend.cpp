#include "PipeWireBackend.h"

#include "OutputFormat.h"
#include "OutputTiming.h"
#include "SoundTime.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

// PipeWire's method macros (pw_core_add_listener and the like) are GNU
// statement expressions, which clang's -Wpedantic names at every use.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wgnu-statement-expression"
#endif

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>

using SoundTime::FrameBytes;

namespace {

// How long a server that accepted the connection may take to link the
// stream before it counts as not answering.
constexpr std::int64_t LinkPatienceNs = 3'000'000'000;

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

struct PipeWireBackend::Listeners {
    spa_hook core{};
    spa_hook stream{};
};

struct PipeWireBackend::Hooks {
    static void coreError(void* data, uint32_t id, int, int res, const char* message)
    {
        // An error on the core itself is the connection's: the server went
        // (EPIPE) or refused us.
        auto* self = static_cast<PipeWireBackend*>(data);
        if (id != PW_ID_CORE)
            return;
        self->error_ = QString::fromUtf8(message ? message : "") + QStringLiteral(" (") +
            reasonOf(-res) + QLatin1Char(')');
        self->serverWent();
        pw_thread_loop_signal(self->loop_, false);
    }

    static void stateChanged(void* data, pw_stream_state, pw_stream_state state, const char* error)
    {
        auto* self = static_cast<PipeWireBackend*>(data);
        self->state_ = state;
        if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
            if (error != nullptr)
                self->error_ = QString::fromUtf8(error);
            self->serverWent();
        }
        pw_thread_loop_signal(self->loop_, false);
    }

    // On the data thread, once a graph cycle.
    static void process(void* data)
    {
        auto* self = static_cast<PipeWireBackend*>(data);
        pw_buffer* b = pw_stream_dequeue_buffer(self->stream_);
        if (b == nullptr)
            return;
        spa_data& d = b->buffer->datas[0];
        if (d.data == nullptr) {
            pw_stream_queue_buffer(self->stream_, b);
            return;
        }
        std::size_t frames = d.maxsize / FrameBytes;
        if (b->requested != 0 && b->requested < frames)
            frames = std::size_t(b->requested);
        pw_time time{};
        pw_stream_get_time_n(self->stream_, &time, sizeof(time));
        const std::optional<std::int64_t> firstNs =
            pipeWireFirstFrameNs({time.now, time.delay, time.rate.num, time.rate.denom,
                                     std::int64_t(time.queued), std::int64_t(time.buffered)},
                OutputFormat::SampleRate);
        // Before the graph has run, the buffer is taken to be rendered now.
        self->render_(static_cast<float*>(d.data), frames,
            SoundTime::wallClockOfMonotonicNs(firstNs ? *firstNs : SoundTime::monotonicNs()));
        d.chunk->offset = 0;
        d.chunk->stride = FrameBytes;
        d.chunk->size = uint32_t(frames * FrameBytes);
        // Counted in frames, so that `queued` is too.
        b->size = frames;
        pw_stream_queue_buffer(self->stream_, b);
    }
};

namespace {

const pw_core_events CoreEvents = [] {
    pw_core_events events{};
    events.version = PW_VERSION_CORE_EVENTS;
    events.error = &PipeWireBackend::Hooks::coreError;
    return events;
}();

const pw_stream_events StreamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = &PipeWireBackend::Hooks::stateChanged;
    events.process = &PipeWireBackend::Hooks::process;
    return events;
}();

} // namespace

PipeWireBackend::PipeWireBackend()
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
}

PipeWireBackend::~PipeWireBackend()
{
    close();
}

void PipeWireBackend::serverWent()
{
    if (!gone_.exchange(true) && wake_)
        wake_();
}

QString PipeWireBackend::open(Render render, std::function<void()> wake)
{
    render_ = std::move(render);
    wake_ = std::move(wake);
    gone_ = false;
    answered_ = false;
    state_ = PW_STREAM_STATE_UNCONNECTED;
    error_.clear();
    listeners_ = std::make_unique<Listeners>();
    loop_ = pw_thread_loop_new("tarnwick-sound", nullptr);
    if (loop_ == nullptr || pw_thread_loop_start(loop_) != 0) {
        close();
        return QStringLiteral("cannot start PipeWire's loop");
    }
    pw_thread_loop_lock(loop_);
    context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
    if (context_ != nullptr)
        core_ = pw_context_connect(context_, nullptr, 0);
    if (core_ == nullptr) {
        const int error = errno;
        pw_thread_loop_unlock(loop_);
        close();
        return QStringLiteral("no PipeWire daemon answers (%1)").arg(reasonOf(error));
    }
    answered_ = true;
    pw_core_add_listener(core_, &listeners_->core, &CoreEvents, this);

    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
        "Playback", PW_KEY_MEDIA_ROLE, "Music", PW_KEY_APP_NAME, "Tarnwick", PW_KEY_NODE_NAME,
        "tarnwick", nullptr);
    // About one device buffer of the mixer, as the other backends ask.
    pw_properties_setf(props, PW_KEY_NODE_LATENCY, "%d/%d", OutputFormat::DeviceBufferFrames,
        OutputFormat::SampleRate);
    stream_ = pw_stream_new(core_, "Tarnwick", props);
    if (stream_ == nullptr) {
        const int error = errno;
        pw_thread_loop_unlock(loop_);
        close();
        return QStringLiteral("PipeWire refused the stream (%1)").arg(reasonOf(error));
    }
    pw_stream_add_listener(stream_, &listeners_->stream, &StreamEvents, this);

    std::uint8_t podBuffer[1024];
    spa_pod_builder builder{};
    spa_pod_builder_init(&builder, podBuffer, sizeof(podBuffer));
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_F32;
    info.rate = OutputFormat::SampleRate;
    info.channels = OutputFormat::Channels;
    info.position[0] = SPA_AUDIO_CHANNEL_FL;
    info.position[1] = SPA_AUDIO_CHANNEL_FR;
    const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    const int connected = pw_stream_connect(stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY,
        pw_stream_flags(
            PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS),
        params, 1);
    // Linked when it is paused or streaming; an error or a server gone
    // meanwhile ends the wait too.
    const std::int64_t deadline = SoundTime::monotonicNs() + LinkPatienceNs;
    while (connected == 0 && !gone_ && state_ != PW_STREAM_STATE_PAUSED &&
        state_ != PW_STREAM_STATE_STREAMING && SoundTime::monotonicNs() < deadline)
        pw_thread_loop_timed_wait(loop_, 1);
    const bool linked = connected == 0 && !gone_ &&
        (state_ == PW_STREAM_STATE_PAUSED || state_ == PW_STREAM_STATE_STREAMING);
    QString why;
    if (!linked)
        why = connected != 0
            ? QStringLiteral("PipeWire refused the stream (%1)").arg(reasonOf(-connected))
            : !error_.isEmpty() ? QStringLiteral("PipeWire: %1").arg(error_)
                                : QStringLiteral("PipeWire did not link the stream");
    pw_thread_loop_unlock(loop_);
    if (!linked)
        close();
    return why;
}

SoundBackend::Health PipeWireBackend::health()
{
    return gone_ ? Health::ServerGone : Health::Playing;
}

void PipeWireBackend::close()
{
    if (loop_ != nullptr) {
        pw_thread_loop_lock(loop_);
        // Destroying the stream takes it off the data thread, so no buffer
        // is filled once this returns.
        if (stream_ != nullptr) {
            spa_hook_remove(&listeners_->stream);
            pw_stream_destroy(stream_);
        }
        if (core_ != nullptr) {
            spa_hook_remove(&listeners_->core);
            pw_core_disconnect(core_);
        }
        pw_thread_loop_unlock(loop_);
        pw_thread_loop_stop(loop_);
        if (context_ != nullptr)
            pw_context_destroy(context_);
        pw_thread_loop_destroy(loop_);
    }
    stream_ = nullptr;
    core_ = nullptr;
    context_ = nullptr;
    loop_ = nullptr;
    listeners_.reset();
}
