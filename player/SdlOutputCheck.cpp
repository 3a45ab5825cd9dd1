#include "SdlOutputCheck.h"

#include "AudioOutput.h"
#include "OutputFormat.h"
#include "SdlDeviceLock.h"

#include <SDL2/SDL.h>

SdlOutputCheck::SdlOutputCheck(const AudioOutput& output) : output_(output)
{
}

SdlOutputCheck::~SdlOutputCheck()
{
    if (subsystemUp_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlOutputCheck::outputWorking() const
{
    // The output closes a device it lost within half a second and is shut
    // while it cannot reopen one.
    return output_.isOpen();
}

QString SdlOutputCheck::tryOpen()
{
    const std::lock_guard lock(sdlDeviceMutex());
    SDL_ClearError();
    if (!subsystemUp_) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return QString::fromUtf8(SDL_GetError());
        subsystemUp_ = true;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = OutputFormat::SampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = OutputFormat::Channels;
    wanted.samples = 512;
    // Opened paused and without a callback: not a sample reaches the speaker.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) {
        const QString reason = QString::fromUtf8(SDL_GetError());
        return reason.isEmpty() ? QStringLiteral("the sound device refused to open") : reason;
    }
    SDL_CloseAudioDevice(device);
    return QString();
}
