#include "SecondPlan.h"

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

std::optional<WallSecond> lastOccurrence(QTime startTime, SecondRange range)
{
    if (range.empty() || !startTime.isValid())
        return std::nullopt;
    const qint64 wanted = startTime.msecsSinceStartOfDay() / 1000;
    const qint64 lastOfDay = ((range.last % SecondsPerDay) + SecondsPerDay) % SecondsPerDay;
    const qint64 back = ((lastOfDay - wanted) % SecondsPerDay + SecondsPerDay) % SecondsPerDay;
    const WallSecond occurrence = range.last - back;
    if (occurrence < range.first)
        return std::nullopt;
    return occurrence;
}
