#include "player/AudioOutput.h"

#include "player/OutputFailureText.h"
#include "player/OutputFormat.h"
#include "player/OutputPatience.h"
#include "player/SoundTime.h"

#include <chrono>
#include <cstdio>

namespace {

// A backend says when it lost its output (and wakes the device thread);
// this is how often the thread looks anyway, and tries again while no
// server answers at all. A server that played, or answered, is tried more
// often, so that once restarted it is found again well within a second.
constexpr auto WatchInterval = std::chrono::milliseconds(500);
constexpr auto RetryInterval = std::chrono::milliseconds(100);
// An open output asks for sound every buffer (23 to 90 ms); this long
// without a request, it is not playing.
constexpr std::int64_t StandingStillNs = 500'000'000;
// The device thread looks every WatchInterval; when its look comes this much
// later, the thread itself could not run: the whole program stood still.
constexpr std::int64_t LookOverdueNs = std::chrono::nanoseconds(2 * WatchInterval).count();

std::int64_t monotonicMs()
{
    return SoundTime::monotonicNs() / SoundTime::NsPerMs;
}

} // namespace

AudioOutput::AudioOutput(BackendChoice choose, Mixer::WallClock wallClock)
    : choose_(std::move(choose)), mixer_(std::move(wallClock)), openingSinceMs_(monotonicMs()),
      stalls_(LookOverdueNs), deviceThread_([this](std::stop_token stop) { runDevice(stop); })
{
}

AudioOutput::~AudioOutput()
{
    deviceThread_.request_stop();
    deviceThread_.join();
}

std::optional<AudioOutput::Stall> AudioOutput::lastStall() const
{
    return stalls_.lastStall();
}

QString AudioOutput::problem() const
{
    if (QString why = unavailable(); !why.isEmpty())
        return why;
    return standingStill();
}

QString AudioOutput::unavailable() const
{
    const std::scoped_lock lock(stateMutex_);
    switch (state_) {
    case State::Open:
        return QString();
    case State::Failed:
        return failure_;
    case State::Opening: {
        const std::int64_t waitedMs = monotonicMs() - openingSinceMs_;
        if (waitedMs < OutputPatience::FirstOpen.count())
            return QString();
        return QStringLiteral("the sound server does not answer (waited %1 s)")
            .arg(waitedMs / 1000);
    }
    }
    return QString();
}

QString AudioOutput::standingStill() const
{
    if (!open_.load())
        return QString();
    const std::optional<std::int64_t> stillNs = stalls_.standingStillNs(SoundTime::monotonicNs());
    if (!stillNs || *stillNs < StandingStillNs)
        return QString();
    return QStringLiteral("the sound output has stood still for %1 ms (a stalled sound "
                          "server?)")
        .arg(*stillNs / SoundTime::NsPerMs);
}

QString AudioOutput::name() const
{
    const std::scoped_lock lock(stateMutex_);
    return name_;
}

void AudioOutput::setState(State state, const QString& reason)
{
    const std::scoped_lock lock(stateMutex_);
    state_ = state;
    failure_ = reason;
}

void AudioOutput::wake()
{
    {
        const std::scoped_lock lock(stateMutex_);
        wakeRequested_ = true;
    }
    stateWake_.notify_all();
}

void AudioOutput::runDevice(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        stalls_.look(SoundTime::monotonicNs());
        if (!open_.load())
            openOutput();
        else
            watchOutput();
        std::unique_lock lock(stateMutex_);
        stateWake_.wait_for(lock, stop, open_.load() || !backend_ ? WatchInterval : RetryInterval,
            [this] { return wakeRequested_; });
        wakeRequested_ = false;
    }
    if (backend_) {
        open_.store(false);
        backend_->close();
    }
    // Backends made on this thread end on it (SDL frees its per-thread state
    // only so).
    backend_.reset();
}

std::optional<OpenFailure> AudioOutput::openBackend(SoundBackend& backend)
{
    // The seam between the device and the mixer: a new stream counts its
    // frames from 0 and knows no latency yet, and each callback is the
    // device's progress before it is the mixer's buffer.
    mixer_.restart(backend.jitterNs());
    stalls_.restart();
    return backend.open(
        [this](float* out, std::size_t frames, std::int64_t firstFrameNs) {
            stalls_.callback(SoundTime::monotonicNs(),
                SoundTime::framesToNs(std::int64_t(frames), OutputFormat::SampleRate));
            mixer_.mix(out, frames, firstFrameNs);
        },
        [this] { wake(); });
}

// The one place an output is opened, for the players and for the check
// ahead of a start alike. The backend whose server answered is kept: a
// desktop's server restarted comes back as the same kind, and one that
// refuses a stream for now (no sink yet) is asked again, not gone around.
void AudioOutput::openOutput()
{
    QString reason;
    if (backend_) {
        if (const std::optional<OpenFailure> failure = openBackend(*backend_))
            reason = openFailureText(backend_->name(), *failure);
    } else {
        std::vector<std::unique_ptr<SoundBackend>> candidates = choose_();
        std::vector<Refusal> refusals;
        for (std::unique_ptr<SoundBackend>& candidate : candidates) {
            const std::optional<OpenFailure> failure = openBackend(*candidate);
            if (!failure || candidate->serverAnswered()) {
                backend_ = std::move(candidate);
                if (failure)
                    reason = openFailureText(backend_->name(), *failure);
                break;
            }
            refusals.push_back({candidate->name(), *failure});
        }
        if (!backend_)
            reason = noOutputText(refusals);
    }
    if (!reason.isEmpty()) {
        // Say it once, not ten times a second.
        if (!reportedOpenFailure_)
            std::fprintf(
                stderr, "tarnwick: the sound output cannot be opened: %s\n", qPrintable(reason));
        reportedOpenFailure_ = true;
        setState(State::Failed,
            serverGone_ ? lostOutputText(SoundBackend::Health::ServerGone, backend_->name())
                        : reason);
        return;
    }
    if (played_) {
        ++reopens_;
        std::fprintf(stderr,
            "tarnwick: the sound output was lost; reopened the default device (%s)\n",
            qPrintable(backend_->name()));
    } else {
        std::fprintf(stderr, "tarnwick: sound output: %s (%s)\n", qPrintable(backend_->name()),
            backend_->reportsRenderTime() ? "server's timing" : "timing estimated");
    }
    played_ = true;
    reportedOpenFailure_ = false;
    serverGone_ = false;
    {
        const std::scoped_lock lock(stateMutex_);
        name_ = backend_->name();
    }
    open_.store(true);
    setState(State::Open);
}

void AudioOutput::watchOutput()
{
    const SoundBackend::Health health = backend_->health();
    if (health == SoundBackend::Health::Playing)
        return;
    serverGone_ = health == SoundBackend::Health::ServerGone;
    const QString what = lostOutputText(health, backend_->name());
    // Failed before it is no longer open, so problem() never reads an open
    // output that has gone.
    setState(State::Failed, what);
    open_.store(false);
    backend_->close();
    std::fprintf(stderr, "tarnwick: the sound output was lost: %s\n", qPrintable(what));
    reportedOpenFailure_ = true;
    openOutput();
}
