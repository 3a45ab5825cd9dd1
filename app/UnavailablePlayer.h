#pragma once

#include "MediaPlayer.h"
#include "PlatformError.h"

// Refuses every file until the MP3 player is wired in.
class UnavailablePlayer final : public MediaPlayer {
public:
    void open(const QString& path) override
    {
        throw PlatformError(QStringLiteral("%1: MP3 playback is not available").arg(path));
    }
    void play() override { throw PlatformError(QStringLiteral("no file")); }
    void pause() override { }
    double currentPosition() const override { return 0; }
    double duration() const override { return 0; }
};
