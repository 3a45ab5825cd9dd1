#include "schedule/SecondPlan.h"

#include "model/SlotRules.h"
#include "model/TimeOfDayOccurrences.h"
#include "model/Timetable.h"

#include <cstdlib>

SecondPlan planSeconds(std::optional<WallSecond> lastTested, WallSecond current)
{
    const SecondRange onlyCurrent{current, current};
    if (!lastTested)
        return {ClockPassage::FirstTick, onlyCurrent, {}};
    const qint64 gap = current - *lastTested;
    if (gap == 0)
        return {ClockPassage::SameSecond, {}, {}};
    if (gap < 0)
        return {ClockPassage::JumpedBack, onlyCurrent, {}};
    if (gap == 1)
        return {ClockPassage::OnTime, onlyCurrent, {}};
    // The tick was due at the second after the last one tested.
    const qint64 secondsLate = gap - 1;
    if (secondsLate <= CatchUpSeconds)
        return {ClockPassage::LateTick, {*lastTested + 1, current}, {}};
    return {ClockPassage::JumpedForward, onlyCurrent, {*lastTested + 1, current - 1}};
}

bool wasHeldUp(qint64 wallMs, qint64 monotonicMs)
{
    // Far more than the two clocks drift apart in a gap, far less than a
    // change of the clock that skips a second.
    constexpr qint64 Agreement = 500;
    return std::abs(wallMs - monotonicMs) < Agreement;
}

std::optional<qint64> heldUpBeyondTick(qint64 monotonicMs)
{
    // A late tick comes a few milliseconds after its second, a busy
    // machine's some tens; a tenth of a second more is the program stood
    // still.
    constexpr qint64 TickMs = 1000;
    constexpr qint64 LateTickMs = 100;
    if (monotonicMs <= TickMs + LateTickMs)
        return std::nullopt;
    return monotonicMs - TickMs;
}

namespace {

// The second at which the clocks of `zone` first read `startTime` on `date`.
std::optional<WallSecond> startOn(QDate date, QTime startTime, const QTimeZone& zone)
{
    const std::optional<qint64> instant = occurrenceOn(date, startTime, zone);
    if (!instant)
        return std::nullopt;
    return *instant / 1000;
}

} // namespace

std::vector<int> slotsDueAt(const Timetable& timetable, WallSecond second, const QTimeZone& zone)
{
    const QDateTime local = localTimeOf(second, zone);
    std::vector<int> due = timetable.dueAt(local.time());
    if (startOn(local.date(), local.time(), zone) == second)
        return due;
    // The clocks read this time again as they go back: a slot started at it
    // already that date is not rung again, one that was not (the program
    // started in between) rings now.
    std::erase_if(
        due, [&](int slot) { return startedByClockOn(timetable.slot(slot), local.date()); });
    return due;
}

std::optional<WallSecond> lastOccurrence(QTime startTime, SecondRange range, const QTimeZone& zone)
{
    if (range.empty() || !startTime.isValid())
        return std::nullopt;
    const QDate firstDate = localTimeOf(range.first, zone).date();
    for (QDate date = localTimeOf(range.last, zone).date(); date >= firstDate;
         date = date.addDays(-1)) {
        const std::optional<WallSecond> start = startOn(date, startTime, zone);
        if (start && *start <= range.last)
            return *start >= range.first ? start : std::nullopt;
    }
    return std::nullopt;
}
