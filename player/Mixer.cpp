#include "player/Mixer.h"

#include "platform/PlatformError.h"
#include "player/OutputFormat.h"
#include "player/Voice.h"

#include <algorithm>

namespace {

std::int64_t lengthNs(std::size_t frames)
{
    return SoundTime::framesToNs(std::int64_t(frames), OutputFormat::SampleRate);
}

} // namespace

Mixer::Mixer(WallClock wallClock) : wallClock_(std::move(wallClock))
{
}

void Mixer::restart(std::int64_t jitterNs)
{
    const std::scoped_lock lock(mixMutex_);
    framesMixed_ = 0;
    fired_.reset();
    // Beyond its own jitter, a figure is a new latency (a quantum changed, a
    // device was switched), taken at once, not glided to.
    timeline_.restart(2 * jitterNs);
}

void Mixer::attach(Voice& voice)
{
    const std::scoped_lock lock(mixMutex_);
    const auto slot = std::find(voices_.begin(), voices_.end(), nullptr);
    if (slot == voices_.end())
        throw PlatformError(QStringLiteral("no sound output: too many players"));
    *slot = &voice;
}

void Mixer::detach(Voice& voice)
{
    const std::scoped_lock lock(mixMutex_);
    std::replace(voices_.begin(), voices_.end(), &voice, static_cast<Voice*>(nullptr));
    switch_.disarm(voice);
}

void Mixer::armStart(Voice& voice, std::int64_t atNs)
{
    const std::scoped_lock lock(mixMutex_);
    switch_.arm(voice, atNs);
}

void Mixer::disarmStart(const Voice& voice)
{
    const std::scoped_lock lock(mixMutex_);
    switch_.disarm(voice);
}

std::optional<Mixer::FiredSwitch> Mixer::lastFiredSwitch()
{
    const std::scoped_lock lock(mixMutex_);
    return fired_;
}

void Mixer::mix(float* out, std::size_t frames, std::int64_t reportedNs)
{
    const std::scoped_lock lock(mixMutex_);
    const std::int64_t nowNs = wallClock_();
    const std::int64_t firstFrameNs =
        timeline_.firstFrameNs(reportedNs, std::int64_t(frames), OutputFormat::SampleRate);
    std::fill_n(out, frames * OutputFormat::Channels, 0.0f);
    // A switch whose second came while this buffer was being asked for, or
    // after, is sounded at once and heard as late as the output's latency
    // makes it; one whose second passed a buffer before that is from the
    // past, and the tick's play() starts the slot as it would without one.
    const std::int64_t latencyFrames = std::max<std::int64_t>(
        0, SoundTime::nsToFrames(firstFrameNs - nowNs, OutputFormat::SampleRate));
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

void Mixer::mixVoice(Voice& voice, float* out, std::size_t frames, std::int64_t firstFrameNs)
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
            firstFrameNs + SoundTime::framesToNs(std::int64_t(n), OutputFormat::SampleRate),
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
