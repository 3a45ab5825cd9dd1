#include "AudioOutput.h"

#include "OutputFailureText.h"
#include "OutputFormat.h"
#include "PlatformError.h"
#include "SoundTime.h"
#include "Voice.h"

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// A backend says when it lost its output (and wakes the device thread);
// this is how often the thread looks anyway, and tries again while no
// server answers at all. A server that played, or answered, is tried more
// often, so that once restarted it is found again well within a second.
constexpr auto WatchInterval = std::chrono::milliseconds(500);
constexpr auto RetryInterval = std::chrono::milliseconds(100);
// A first open that takes longer is a sound server that does not answer.
constexpr std::int64_t OpeningPatienceMs = 2000;
// An open output asks for sound every buffer (23 to 90 ms); this long
// without a request, it is not playing.
constexpr std::int64_t StandingStillNs = 500'000'000;
// The device thread looks every WatchInterval; when its look comes this much
// later, the thread itself could not run: the whole program stood still.
constexpr std::int64_t LookOverdueNs = std::chrono::nanoseconds(2 * WatchInterval).count();
constexpr std::int64_t NsPerSecond = 1'000'000'000;

std::int64_t steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t lengthNs(std::size_t frames)
{
    return std::int64_t(frames) * NsPerSecond / OutputFormat::SampleRate;
}

} // namespace

AudioOutput::AudioOutput(BackendChoice choose, WallClock wallClock)
    : choose_(std::move(choose)), wallClock_(std::move(wallClock)), openingSinceMs_(steadyMs()),
      stalls_(LookOverdueNs), deviceThread_([this](std::stop_token stop) { runDevice(stop); })
{
}

AudioOutput::~AudioOutput()
{
    deviceThread_.request_stop();
    deviceThread_.join();
}

void AudioOutput::attach(Voice& voice)
{
    const std::scoped_lock lock(mixMutex_);
    const auto slot = std::find(voices_.begin(), voices_.end(), nullptr);
    if (slot == voices_.end())
        throw PlatformError(QStringLiteral("no sound output: too many players"));
    *slot = &voice;
}

void AudioOutput::detach(Voice& voice)
{
    const std::scoped_lock lock(mixMutex_);
    std::replace(voices_.begin(), voices_.end(), &voice, static_cast<Voice*>(nullptr));
    switch_.disarm(voice);
}

void AudioOutput::armStart(Voice& voice, std::int64_t atNs)
{
    const std::scoped_lock lock(mixMutex_);
    switch_.arm(voice, atNs);
}

void AudioOutput::disarmStart(const Voice& voice)
{
    const std::scoped_lock lock(mixMutex_);
    switch_.disarm(voice);
}

std::optional<AudioOutput::FiredSwitch> AudioOutput::lastFiredSwitch()
{
    const std::scoped_lock lock(mixMutex_);
    return fired_;
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
        const std::int64_t waitedMs = steadyMs() - openingSinceMs_;
        if (waitedMs < OpeningPatienceMs)
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
    {
        // A new stream counts its frames from 0 and knows no latency yet.
        const std::scoped_lock lock(mixMutex_);
        framesMixed_ = 0;
        fired_.reset();
        stalls_.restart();
        // Beyond its own jitter, a figure is a new latency (a quantum
        // changed, a device was switched), taken at once, not glided to.
        timeline_.restart(2 * backend.jitterNs());
    }
    return backend.open([this](float* out, std::size_t frames,
                            std::int64_t firstFrameNs) { mix(out, frames, firstFrameNs); },
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

void AudioOutput::mix(float* out, std::size_t frames, std::int64_t reportedNs)
{
    const std::scoped_lock lock(mixMutex_);
    stalls_.callback(SoundTime::monotonicNs(), lengthNs(frames));
    const std::int64_t nowNs = wallClock_();
    const std::int64_t firstFrameNs =
        timeline_.firstFrameNs(reportedNs, std::int64_t(frames), OutputFormat::SampleRate);
    std::fill_n(out, frames * OutputFormat::Channels, 0.0f);
    // A switch whose second came while this buffer was being asked for, or
    // after, is sounded at once and heard as late as the output's latency
    // makes it; one whose second passed a buffer before that is from the
    // past, and the tick's play() starts the slot as it would without one.
    const std::int64_t latencyFrames =
        std::max<std::int64_t>(0, (firstFrameNs - nowNs) * OutputFormat::SampleRate / NsPerSecond);
    const std::optional<StartSwitch::Cut> cut =
        switch_.take(firstFrameNs, frames, frames + std::size_t(latencyFrames));
    bool startedBySwitch = false;
    if (cut) {
        Voice& started = *cut->voice;
        const std::int64_t heardNs = firstFrameNs + lengthNs(cut->frame);
        fired_ = FiredSwitch{framesMixed_ + cut->frame, heardNs};
        started.startMadeNs.store(cut->atNs, std::memory_order_relaxed);
        started.placedAhead.store(true, std::memory_order_relaxed);
        if (!started.running.load(std::memory_order_acquire)) {
            startedBySwitch = true;
            started.awaitingFirstSample.store(true, std::memory_order_release);
            started.running.store(true, std::memory_order_release);
        } else {
            // It sounds already: from the switch's frame on it is the one
            // heard, as its start.
            started.firstSampleNs.store(heardNs, std::memory_order_release);
            started.awaitingFirstSample.store(false, std::memory_order_release);
        }
    }
    for (Voice* voice : voices_) {
        if (voice == nullptr)
            continue;
        if (!voice->running.load(std::memory_order_acquire)) {
            voice->sounding.store(false, std::memory_order_relaxed);
            continue;
        }
        if (cut && voice != cut->voice) {
            // Silent from the switch's frame on, as the tick's pause() leaves it.
            mixVoice(*voice, out, cut->frame, firstFrameNs);
            voice->running.store(false, std::memory_order_release);
        } else if (startedBySwitch) {
            mixVoice(*voice, out + cut->frame * OutputFormat::Channels, frames - cut->frame,
                fired_->heardNs);
        } else {
            mixVoice(*voice, out, frames, firstFrameNs);
        }
        voice->sounding.store(
            voice->running.load(std::memory_order_acquire), std::memory_order_relaxed);
    }
    framesMixed_ += frames;
    for (std::size_t i = 0; i < frames * OutputFormat::Channels; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void AudioOutput::mixVoice(Voice& voice, float* out, std::size_t frames, std::int64_t firstFrameNs)
{
    // The decoder has not yet emptied the ring of the file before: nothing of
    // it may be heard, and the wait is neither the file's end nor a gap.
    if (voice.resetPending.load(std::memory_order_acquire))
        return;
    const std::size_t n = voice.ring.mixInto(out, frames);
    const std::uint64_t before = voice.playedFrames.fetch_add(n, std::memory_order_release);
    if (n > 0) {
        if (voice.awaitingFirstSample.exchange(false, std::memory_order_acq_rel))
            voice.firstSampleNs.store(firstFrameNs, std::memory_order_release);
        voice.heardUntilNs.store(
            firstFrameNs + std::int64_t(n) * 1'000'000'000 / OutputFormat::SampleRate,
            std::memory_order_release);
    }
    // The ring is checked again after the flag: the decoder writes its
    // last frames before it sets inputEnded, so both are seen together.
    if (n < frames && voice.inputEnded.load(std::memory_order_acquire) &&
        voice.ring.availableFrames() == 0) {
        voice.finished.store(true, std::memory_order_release);
        voice.running.store(false, std::memory_order_release);
    } else if (n < frames && before > 0) {
        // Silence in the middle of the file, not its start before the
        // decoder's first frames.
        voice.ranDry.store(true, std::memory_order_relaxed);
    }
}
