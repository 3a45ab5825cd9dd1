#include "AudioOutput.h"

#include "OutputFormat.h"
#include "PlatformError.h"
#include "Voice.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// SDL marks a device it lost as stopped; nothing else tells us without an
// SDL event loop, so the device thread looks this often, and tries again
// this often while no device opens.
constexpr auto WatchInterval = std::chrono::milliseconds(500);
// A first open that takes longer is a sound server that does not answer.
constexpr qint64 OpeningPatienceMs = 2000;
// An open device asks for sound every buffer (23 ms); this long without a
// request, it is not playing.
constexpr std::int64_t StandingStillNs = 500'000'000;

QString sdlReason()
{
    const QString reason = QString::fromUtf8(SDL_GetError());
    return reason.isEmpty() ? QStringLiteral("the sound device refused to open") : reason;
}

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

SDL_AudioDeviceID AudioOutput::openDefaultDevice(const SDL_AudioSpec& wanted)
{
    // No changes allowed: SDL converts to whatever the hardware wants, so
    // the mixer's rate and the position count never depend on the device.
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
}

AudioOutput::AudioOutput(DeviceOpener openDevice, QObject* parent)
    : QObject(parent), openDevice_(std::move(openDevice)), openingSinceMs_(steadyMs()),
      deviceThread_([this](std::stop_token stop) { runDevice(stop); })
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
    const std::int64_t ended = stallEndedNs_.load(std::memory_order_acquire);
    if (ended == 0)
        return std::nullopt;
    return Stall{ended, stallLengthNs_.load(std::memory_order_relaxed)};
}

QString AudioOutput::problem() const
{
    const std::scoped_lock lock(stateMutex_);
    switch (state_) {
    case State::Open: {
        const std::int64_t lastNs = lastCallbackNs_.load(std::memory_order_relaxed);
        const std::int64_t stillNs = wallClockNs() - lastNs;
        if (lastNs == 0 || stillNs < StandingStillNs)
            return QString();
        return QStringLiteral("the sound output has stood still for %1 ms (a stalled sound "
                              "server?)")
            .arg(stillNs / 1'000'000);
    }
    case State::Failed:
        return failure_;
    case State::Opening: {
        const qint64 waitedMs = steadyMs() - openingSinceMs_;
        if (waitedMs < OpeningPatienceMs)
            return QString();
        return QStringLiteral("the sound server does not answer (waited %1 s)")
            .arg(waitedMs / 1000);
    }
    }
    return QString();
}

void AudioOutput::setState(State state, const QString& reason)
{
    {
        const std::scoped_lock lock(stateMutex_);
        if (state_ == state && failure_ == reason)
            return;
        state_ = state;
        failure_ = reason;
    }
    inbox_.post([this] { emit stateChanged(); });
}

void AudioOutput::runDevice(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        if (device_.load() == 0)
            openDevice();
        else
            watchDevice();
        std::unique_lock lock(stateMutex_);
        stateWake_.wait_for(lock, stop, WatchInterval, [] { return false; });
    }
    closeDevice();
    if (subsystemUp_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // SDL keeps its error text per thread and frees it only for threads it
    // made itself.
    SDL_TLSCleanup();
}

// The one place a device is opened, for the players and for the check ahead
// of a start alike.
void AudioOutput::openDevice()
{
    SDL_ClearError();
    if (!subsystemUp_ && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        subsystemUp_ = true;
    SDL_AudioDeviceID device = 0;
    if (subsystemUp_) {
        SDL_AudioSpec wanted{};
        wanted.freq = OutputFormat::SampleRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = OutputFormat::Channels;
        wanted.samples = OutputFormat::DeviceBufferFrames;
        wanted.callback = &AudioOutput::callback;
        wanted.userdata = this;
        device = openDevice_(wanted);
    }
    if (device == 0) {
        const QString reason = sdlReason();
        // Say it once, not twice a second.
        if (!reportedOpenFailure_)
            std::fprintf(
                stderr, "tarnwick: the sound output cannot be opened: %s\n", qPrintable(reason));
        reportedOpenFailure_ = true;
        setState(State::Failed, reason);
        return;
    }
    {
        // A new device counts its frames from 0; SDL opens it paused.
        const std::scoped_lock lock(mixMutex_);
        framesMixed_ = 0;
        fired_.reset();
        lastCallbackNs_.store(0, std::memory_order_relaxed);
        timeline_.restart();
    }
    device_.store(device);
    if (reportedOpenFailure_) {
        ++reopens_;
        std::fprintf(stderr, "tarnwick: the sound output was lost; reopened the default device\n");
    }
    reportedOpenFailure_ = false;
    SDL_PauseAudioDevice(device, 0);
    setState(State::Open);
}

void AudioOutput::closeDevice()
{
    const SDL_AudioDeviceID device = device_.exchange(0);
    if (device != 0)
        SDL_CloseAudioDevice(device);
}

void AudioOutput::watchDevice()
{
    if (SDL_GetAudioDeviceStatus(device_.load()) != SDL_AUDIO_STOPPED)
        return;
    closeDevice();
    std::fprintf(stderr, "tarnwick: the sound output was lost\n");
    reportedOpenFailure_ = true;
    setState(State::Failed, QStringLiteral("the sound device was lost"));
    openDevice();
}

void AudioOutput::callback(void* self, Uint8* stream, int bytes)
{
    const auto frames = std::size_t(bytes) / (sizeof(float) * OutputFormat::Channels);
    static_cast<AudioOutput*>(self)->mix(reinterpret_cast<float*>(stream), frames);
}

void AudioOutput::noteCallbackTime(std::int64_t nowNs)
{
    // Callbacks come a buffer apart; one that comes after two or more means
    // the device (or the sound server behind it) stood still meanwhile.
    const std::int64_t lastNs = lastCallbackNs_.load(std::memory_order_relaxed);
    if (lastNs != 0 && nowNs - lastNs > 2 * LatencyNs) {
        stallLengthNs_.store(nowNs - lastNs, std::memory_order_relaxed);
        stallEndedNs_.store(nowNs, std::memory_order_release);
    }
    lastCallbackNs_.store(nowNs, std::memory_order_relaxed);
}

void AudioOutput::mix(float* out, std::size_t frames)
{
    const std::scoped_lock lock(mixMutex_);
    const std::int64_t nowNs = wallClockNs();
    noteCallbackTime(nowNs);
    const std::int64_t firstFrameNs =
        timeline_.bufferStartNs(nowNs, std::int64_t(frames), OutputFormat::SampleRate) + LatencyNs;
    std::fill_n(out, frames * OutputFormat::Channels, 0.0f);
    // A switch a whole buffer late is no longer on its second; the tick's
    // play() starts the slot as it would without one.
    const std::optional<StartSwitch::Cut> cut = switch_.take(firstFrameNs, frames, frames);
    bool startedBySwitch = false;
    if (cut) {
        const std::int64_t heardNs =
            firstFrameNs + std::int64_t(cut->frame) * 1'000'000'000 / OutputFormat::SampleRate;
        fired_ = FiredSwitch{framesMixed_ + cut->frame, heardNs};
        if (!cut->voice->running.load(std::memory_order_acquire)) {
            startedBySwitch = true;
            cut->voice->awaitingFirstSample.store(true, std::memory_order_release);
            cut->voice->running.store(true, std::memory_order_release);
        }
    }
    for (Voice* voice : voices_) {
        if (voice == nullptr || !voice->running.load(std::memory_order_acquire))
            continue;
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
