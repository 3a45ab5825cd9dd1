#include "player/PipeWireBackend.h"

#include "player/OutputFormat.h"
#include "player/OutputPatience.h"
#include "player/OutputTiming.h"
#include "player/SoundTime.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

// PipeWire's method macros (pw_core_add_listener and the like) are GNU
// statement expressions, which clang's -Wpedantic names at every use.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wgnu-statement-expression"
#endif

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>

using SoundTime::FrameBytes;

namespace {

// Holds the thread loop's lock for a scope, so that no way out of it keeps
// the loop's thread locked out.
class LoopLock {
public:
    explicit LoopLock(pw_thread_loop* loop) : loop_(loop) { pw_thread_loop_lock(loop_); }
    ~LoopLock() { pw_thread_loop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pw_thread_loop* loop_;
};

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
        self->markLost(self->gone_);
        pw_thread_loop_signal(self->loop_, false);
    }

    static void stateChanged(void* data, pw_stream_state, pw_stream_state state, const char* error)
    {
        auto* self = static_cast<PipeWireBackend*>(data);
        self->state_ = state;
        // The stream falls back to unconnected when the server's end of the
        // connection goes (EPIPE); an error is the stream's own, and the same
        // server may take a new one.
        if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
            if (error != nullptr)
                self->error_ = QString::fromUtf8(error);
            self->markLost(state == PW_STREAM_STATE_ERROR ? self->streamLost_ : self->gone_);
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

void PipeWireBackend::markLost(std::atomic<bool>& lost)
{
    if (!lost.exchange(true) && wake_)
        wake_();
}

std::optional<OpenFailure> PipeWireBackend::open(Render render, std::function<void()> wake)
{
    render_ = std::move(render);
    wake_ = std::move(wake);
    gone_ = false;
    streamLost_ = false;
    answered_ = false;
    state_ = PW_STREAM_STATE_UNCONNECTED;
    error_.clear();
    listeners_ = std::make_unique<Listeners>();
    const std::optional<OpenFailure> failure = connectStream();
    // The one place an open gives up, with the loop's lock let go: close()
    // stops the loop's thread.
    if (failure)
        close();
    return failure;
}

std::optional<OpenFailure> PipeWireBackend::connectStream()
{
    using Step = OpenFailure::Step;
    loop_ = pw_thread_loop_new("tarnwick-sound", nullptr);
    if (loop_ == nullptr || pw_thread_loop_start(loop_) != 0)
        return OpenFailure{Step::StartLoop, {}};
    const LoopLock lock(loop_);
    context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
    if (context_ != nullptr)
        core_ = pw_context_connect(context_, nullptr, 0);
    if (core_ == nullptr)
        return OpenFailure{Step::Connect, reasonOf(errno)};
    answered_ = true;
    pw_core_add_listener(core_, &listeners_->core, &CoreEvents, this);

    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
        "Playback", PW_KEY_MEDIA_ROLE, "Music", PW_KEY_APP_NAME, "Tarnwick", PW_KEY_NODE_NAME,
        "tarnwick", nullptr);
    // About one device buffer of the mixer, as the other backends ask.
    pw_properties_setf(props, PW_KEY_NODE_LATENCY, "%d/%d", OutputFormat::DeviceBufferFrames,
        OutputFormat::SampleRate);
    stream_ = pw_stream_new(core_, "Tarnwick", props);
    if (stream_ == nullptr)
        return OpenFailure{Step::MakeStream, reasonOf(errno)};
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
    if (connected != 0)
        return OpenFailure{Step::ConnectStream, reasonOf(-connected)};
    // Linked when it is paused or streaming; an error or a server gone
    // meanwhile ends the wait too.
    const auto linked = [this] {
        return state_ == PW_STREAM_STATE_PAUSED || state_ == PW_STREAM_STATE_STREAMING;
    };
    const std::int64_t deadline =
        SoundTime::monotonicNs() + std::chrono::nanoseconds(OutputPatience::PipeWireLink).count();
    while (!gone_ && !streamLost_ && !linked() && SoundTime::monotonicNs() < deadline)
        pw_thread_loop_timed_wait(loop_, 1);
    if (gone_ || streamLost_ || !linked())
        return OpenFailure{Step::LinkStream, error_};
    return std::nullopt;
}

SoundBackend::Health PipeWireBackend::health()
{
    if (gone_)
        return Health::ServerGone;
    return streamLost_ ? Health::DeviceLost : Health::Playing;
}

void PipeWireBackend::close()
{
    if (loop_ != nullptr) {
        {
            const LoopLock lock(loop_);
            // Destroying the stream takes it off the data thread, so no
            // buffer is filled once this returns.
            if (stream_ != nullptr) {
                spa_hook_remove(&listeners_->stream);
                pw_stream_destroy(stream_);
            }
            if (core_ != nullptr) {
                spa_hook_remove(&listeners_->core);
                pw_core_disconnect(core_);
            }
        }
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
