#include "player/SdlBackend.h"

#include "player/OutputFormat.h"
#include "player/SoundTime.h"

#include <SDL2/SDL.h>

namespace {

// One device buffer: what SDL's device is taken to hold ahead of the one
// being filled.
constexpr std::int64_t EstimatedLatencyNs =
    SoundTime::framesToNs(OutputFormat::DeviceBufferFrames, OutputFormat::SampleRate);

} // namespace

std::int64_t SdlBackend::jitterNs() const
{
    return EstimatedLatencyNs;
}

SDL_AudioDeviceID SdlBackend::openDefaultDevice(const SDL_AudioSpec& wanted)
{
    // No changes allowed: SDL converts to whatever the hardware wants, so
    // the mixer's rate and the position count never depend on the device.
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
}

SdlBackend::SdlBackend(DeviceOpener openDevice) : openDevice_(std::move(openDevice))
{
}

SdlBackend::~SdlBackend()
{
    close();
    if (subsystemUp_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // SDL keeps its error text per thread and frees it only for threads it
    // made itself; this one is the output's device thread.
    SDL_TLSCleanup();
}

std::optional<OpenFailure> SdlBackend::open(Render render, std::function<void()>)
{
    SDL_ClearError();
    if (!subsystemUp_ && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        subsystemUp_ = true;
    render_ = std::move(render);
    if (subsystemUp_) {
        SDL_AudioSpec wanted{};
        wanted.freq = OutputFormat::SampleRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = OutputFormat::Channels;
        wanted.samples = OutputFormat::DeviceBufferFrames;
        wanted.callback = &SdlBackend::callback;
        wanted.userdata = this;
        device_ = openDevice_(wanted);
    }
    if (device_ == 0)
        return OpenFailure{OpenFailure::Step::Connect, QString::fromUtf8(SDL_GetError())};
    // SDL opens it paused.
    SDL_PauseAudioDevice(device_, 0);
    return std::nullopt;
}

SoundBackend::Health SdlBackend::health()
{
    // SDL marks a device it lost as stopped; it cannot tell a server that
    // went from a device that did.
    return SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED ? Health::DeviceLost
                                                                  : Health::Playing;
}

void SdlBackend::close()
{
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
    device_ = 0;
}

void SdlBackend::callback(void* self, Uint8* stream, int bytes)
{
    const auto frames = std::size_t(bytes) / SoundTime::FrameBytes;
    static_cast<SdlBackend*>(self)->render_(
        reinterpret_cast<float*>(stream), frames, SoundTime::wallClockNs() + EstimatedLatencyNs);
}
