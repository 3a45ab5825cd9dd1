#include "AudioOutput.h"

#include "OutputFormat.h"
#include "PlatformError.h"
#include "SdlDeviceLock.h"
#include "Voice.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>

namespace {

QString sdlReason()
{
    const QString reason = QString::fromUtf8(SDL_GetError());
    return reason.isEmpty() ? QStringLiteral("the sound device refused to open") : reason;
}

} // namespace

AudioOutput::AudioOutput(QObject* parent) : QObject(parent)
{
    // SDL marks a device it lost as stopped; nothing else tells us without an
    // SDL event loop, so the GUI thread looks every half second while open.
    watch_.setInterval(500);
    connect(&watch_, &QTimer::timeout, this, &AudioOutput::checkDevice);
}

AudioOutput::~AudioOutput()
{
    closeDevice();
    if (subsystemUp_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioOutput::attach(Voice& voice)
{
    const MixerLock lock(device_);
    const auto slot = std::find(voices_.begin(), voices_.end(), nullptr);
    if (slot == voices_.end())
        throw PlatformError(QStringLiteral("no sound output: too many players"));
    *slot = &voice;
}

void AudioOutput::detach(Voice& voice)
{
    const MixerLock lock(device_);
    std::replace(voices_.begin(), voices_.end(), &voice, static_cast<Voice*>(nullptr));
    switch_.disarm(voice);
}

void AudioOutput::armStart(Voice& voice, std::int64_t atNs)
{
    const MixerLock lock(device_);
    switch_.arm(voice, atNs);
}

void AudioOutput::disarmStart(const Voice& voice)
{
    const MixerLock lock(device_);
    switch_.disarm(voice);
}

std::optional<AudioOutput::FiredSwitch> AudioOutput::lastFiredSwitch() const
{
    const MixerLock lock(device_);
    return fired_;
}

void AudioOutput::ensureOpen()
{
    if (device_ == 0)
        openDevice();
}

void AudioOutput::openDevice()
{
    const std::lock_guard lock(sdlDeviceMutex());
    if (!subsystemUp_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            throw PlatformError(QStringLiteral("no sound output: %1").arg(sdlReason()));
        subsystemUp_ = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = OutputFormat::SampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = OutputFormat::Channels;
    wanted.samples = OutputFormat::DeviceBufferFrames;
    wanted.callback = &AudioOutput::callback;
    wanted.userdata = this;
    SDL_ClearError();
    // No changes allowed: SDL converts to whatever the hardware wants, so
    // the mixer's rate and the position count never depend on the device.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0)
        throw PlatformError(QStringLiteral("no sound output: %1").arg(sdlReason()));
    device_ = device;
    // A new device counts its frames from 0.
    framesMixed_ = 0;
    fired_.reset();
    SDL_PauseAudioDevice(device_, 0);
    watch_.start();
}

void AudioOutput::closeDevice()
{
    watch_.stop();
    const std::lock_guard lock(sdlDeviceMutex());
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    device_ = 0;
}

void AudioOutput::checkDevice()
{
    if (device_ != 0 && SDL_GetAudioDeviceStatus(device_) != SDL_AUDIO_STOPPED)
        return;
    const bool wasOpen = device_ != 0;
    closeDevice();
    try {
        openDevice();
        ++reopens_;
        reportedReopenFailure_ = false;
        std::fprintf(stderr, "tarnwick: the sound output was lost; reopened the default device\n");
    } catch (const PlatformError& error) {
        // Keep trying while players wait; say it once, not twice a second.
        watch_.start();
        if (wasOpen || !reportedReopenFailure_)
            std::fprintf(stderr, "tarnwick: the sound output was lost and cannot be reopened: %s\n",
                error.what());
        reportedReopenFailure_ = true;
    }
}

void AudioOutput::callback(void* self, Uint8* stream, int bytes)
{
    const auto frames = std::size_t(bytes) / (sizeof(float) * OutputFormat::Channels);
    static_cast<AudioOutput*>(self)->mix(reinterpret_cast<float*>(stream), frames);
}

void AudioOutput::mix(float* out, std::size_t frames)
{
    const std::int64_t firstFrameNs = wallClockNs() + LatencyNs;
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

AudioOutput::MixerLock::MixerLock(SDL_AudioDeviceID device) : device_(device)
{
    if (device_ != 0)
        SDL_LockAudioDevice(device_);
}

AudioOutput::MixerLock::~MixerLock()
{
    if (device_ != 0)
        SDL_UnlockAudioDevice(device_);
}
