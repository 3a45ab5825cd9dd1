#include "FakeMediaPlayer.h"

#include "platform/PlatformError.h"

void FakeMediaPlayer::open(const QString& path, OpenAnswer answer)
{
    journal_ << QStringLiteral("open %1 %2").arg(slot_).arg(path);
    if (holdOpens_)
        heldOpens_.append({path, std::move(answer)});
    else
        this->answer(path, answer);
}

bool FakeMediaPlayer::answerHeldOpen()
{
    if (heldOpens_.isEmpty())
        return false;
    const auto [path, answer] = heldOpens_.takeFirst();
    this->answer(path, answer);
    return true;
}

void FakeMediaPlayer::answer(const QString& path, const OpenAnswer& answer)
{
    if (openFailure_) {
        answer(*openFailure_);
        return;
    }
    if (!answer(QString()))
        return;
    file_ = path;
    playing_ = false;
    position_ = 0;
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

std::optional<FirstSample> FakeMediaPlayer::firstSampleOf(const QDateTime& second) const
{
    const std::optional<double> ms = heardAtMs_ ? *heardAtMs_
        : playing_                              ? std::optional(0.0)
                                                : std::nullopt;
    if (!ms)
        return std::nullopt;
    return FirstSample{*ms, armedFor_ == second};
}
