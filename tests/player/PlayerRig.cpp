#include "PlayerRig.h"

#include <QFileInfo>

PlayerRig::PlayerRig()
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(recordingPath()));
    qputenv("SDL_DISKAUDIODELAY", "10");
    output.emplace();
}

PlayerRig::~PlayerRig()
{
    qputenv("SDL_AUDIODRIVER", "dummy");
}

qint64 PlayerRig::recordedBytes() const
{
    return QFileInfo(recordingPath()).size();
}
