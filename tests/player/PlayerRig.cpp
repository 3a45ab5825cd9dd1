#include "PlayerRig.h"

#include <QFileInfo>

PlayerRig::PlayerRig()
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(recordingPath()));
    qputenv("SDL_DISKAUDIODELAY", "10");
    output.emplace(sdlOpenedBy(SdlBackend::openDefaultDevice));
}

PlayerRig::~PlayerRig()
{
    // The output's thread reads the environment while it opens the device.
    output.reset();
    qputenv("SDL_AUDIODRIVER", "dummy");
}

qint64 PlayerRig::recordedBytes() const
{
    return QFileInfo(recordingPath()).size();
}
