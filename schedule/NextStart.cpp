#include "NextStart.h"

#include "TimeOfDayText.h"
#include "Timetable.h"

std::optional<WallSecond> nextDue(const Timetable& timetable, int slot, WallSecond after)
{
    const std::optional<QTime>& startTime = timetable.slot(slot).startTime;
    if (!startTime || !startTime->isValid())
        return std::nullopt;
    const WallSecond first = after + 1;
    const qint64 wanted = startTime->msecsSinceStartOfDay() / 1000;
    const qint64 firstOfDay = timeOfDayOf(first).msecsSinceStartOfDay() / 1000;
    const WallSecond candidate =
        first + ((wanted - firstOfDay) % SecondsPerDay + SecondsPerDay) % SecondsPerDay;
    // The clock's own rule has the last word, so the line and the clock
    // cannot disagree about a slot (no file, no start).
    if (!isDue(timetable.slot(slot), slot, timeOfDayOf(candidate)))
        return std::nullopt;
    return candidate;
}

std::optional<NextStart> nextStart(const Timetable& timetable, WallSecond after)
{
    std::optional<NextStart> next;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::optional<WallSecond> due = nextDue(timetable, slot, after);
        if (!due || (next && *due > next->second))
            continue;
        if (!next || *due < next->second)
            next = NextStart{*due, {}};
        next->starting.push_back(slot);
    }
    return next;
}

QString untilText(qint64 seconds)
{
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    const qint64 rest = seconds % 60;
    const auto twoDigits = [](qint64 n) {
        return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    };
    if (hours > 0)
        return QStringLiteral("%1 h %2 min %3 s")
            .arg(hours)
            .arg(twoDigits(minutes), twoDigits(rest));
    if (minutes > 0)
        return QStringLiteral("%1 min %2 s").arg(minutes).arg(twoDigits(rest));
    return QStringLiteral("%1 s").arg(rest);
}

QString nextStartText(const Timetable& timetable, WallSecond now)
{
    const std::optional<NextStart> next = nextStart(timetable, now);
    if (!next)
        return QStringLiteral("No start scheduled");
    QString when = timeOfDayText(timeOfDayOf(next->second));
    if (next->second / SecondsPerDay > now / SecondsPerDay)
        when = QStringLiteral("tomorrow ") + when;
    const int sounding = next->starting.back();
    const QString what = next->starting.size() == 1
        ? QStringLiteral("%1  %2 (slot %3)")
              .arg(when, timetable.slot(sounding).name)
              .arg(sounding + 1)
        : QStringLiteral("%1 slots at %2, slot %3 sounds")
              .arg(next->starting.size())
              .arg(when)
              .arg(sounding + 1);
    return QStringLiteral("Next: %1  in %2").arg(what, untilText(next->second - now));
}
