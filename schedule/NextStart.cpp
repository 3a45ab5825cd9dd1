#include "schedule/NextStart.h"

#include "model/SlotRules.h"
#include "model/TimeOfDayOccurrences.h"
#include "model/Timetable.h"
#include "schedule/SecondPlan.h"
#include "window/TimeOfDayText.h"

#include <algorithm>

std::optional<WallSecond> nextDue(
    const Timetable& timetable, int slot, WallSecond after, const QTimeZone& zone)
{
    const std::optional<QTime>& startTime = timetable.slot(slot).startTime;
    if (!startTime || !startTime->isValid())
        return std::nullopt;
    // After the whole of the second `after`, which the clock has tested.
    const qint64 afterMs = after * 1000 + 999;
    std::optional<qint64> instant = nextOccurrence(*startTime, afterMs, zone);
    // A slot the clock has not rung today rings as the clocks read its time
    // again tonight, before any first reading of a later date.
    const QDate today = localTimeOf(after, zone).date();
    const std::optional<qint64> repeat = startedByClockOn(timetable.slot(slot), today)
        ? std::nullopt
        : repeatOn(today, *startTime, zone);
    if (repeat && *repeat > afterMs && (!instant || *repeat < *instant))
        instant = repeat;
    if (!instant)
        return std::nullopt;
    const WallSecond candidate = *instant / 1000;
    // The clock's own rule has the last word, so the line and the clock
    // cannot disagree about a slot (no file, no start).
    const std::vector<int> due = slotsDueAt(timetable, candidate, zone);
    if (std::find(due.begin(), due.end(), slot) == due.end())
        return std::nullopt;
    return candidate;
}

std::optional<NextStart> nextStart(
    const Timetable& timetable, WallSecond after, const QTimeZone& zone)
{
    std::optional<NextStart> next;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const std::optional<WallSecond> due = nextDue(timetable, slot, after, zone);
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

QString nextStartText(const Timetable& timetable, const QDateTime& now)
{
    const QTimeZone zone = zoneOf(now);
    const WallSecond current = wallSecondOf(now);
    const std::optional<NextStart> next = nextStart(timetable, current, zone);
    if (!next)
        return QStringLiteral("No start scheduled");
    const QDateTime start = localTimeOf(next->second, zone);
    QString when = timeOfDayText(start.time());
    if (start.date() > now.date())
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
    return QStringLiteral("Next: %1  in %2").arg(what, untilText(next->second - current));
}
