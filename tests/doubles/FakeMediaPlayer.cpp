#include "FakeMediaPlayer.h"

#include "PlatformError.h"

void FakeMediaPlayer::open(const QString& path)
{
    journal_ << QStringLiteral("open %1 %2").arg(slot_).arg(path);
    if (openFailure_)
        throw PlatformError(*openFailure_);
    file_ = path;
    playing_ = false;
    position_ = 0;
    armedFor_.reset();
}

void FakeMediaPlayer::armStartAt(const QDateTime& second)
{
    if (!file_.isEmpty())
        armedFor_ = second;
}

void FakeMediaPlayer::play()
{
    journal_ << QStringLiteral("play %1").arg(slot_);
    if (playFailure_)
        throw PlatformError(*playFailure_);
    if (file_.isEmpty())
        throw PlatformError(QStringLiteral("no file is open"));
    playing_ = true;
}

void FakeMediaPlayer::pause()
{
    journal_ << QStringLiteral("pause %1").arg(slot_);
    playing_ = false;
}
