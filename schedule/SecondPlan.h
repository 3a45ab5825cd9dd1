#pragma once

#include "schedule/WallSecond.h"

#include <QTime>
#include <QTimeZone>

#include <optional>
#include <vector>

class Timetable;

// The scheduling clock's decisions, kept free of timers and widgets so they
// can be checked second by second. Whether a slot is due in a second is the
// timetable's rule (isDue).

// A tick that comes this many seconds late still tests the seconds it
// skipped; a longer gap is taken as a change of the system clock.
inline constexpr int CatchUpSeconds = 5;

// How the second read at a tick relates to the last second tested.
enum class ClockPassage {
    FirstTick, // nothing tested yet
    SameSecond, // the timer fired early, or twice in one second
    OnTime, // the second after the last one tested
    LateTick, // a few seconds later: the skipped seconds are tested too
    JumpedForward, // too far ahead to catch up: the skipped seconds are missed
    JumpedBack, // the clock was set back: the current second is tested again
};

struct SecondPlan {
    ClockPassage passage;
    SecondRange toTest;
    SecondRange missed;
};

// Which seconds a tick tests, so that every second the clock passes is tested
// exactly once while the clock runs normally.
SecondPlan planSeconds(std::optional<WallSecond> lastTested, WallSecond current);

// Between two ticks the wall clock passed `wallMs` and the monotonic clock
// `monotonicMs`. When they agree, the clock was not changed: the program was
// held up (stopped, swapped out, the machine asleep) for that long.
bool wasHeldUp(qint64 wallMs, qint64 monotonicMs);

// Of a gap of `monotonicMs` between two ticks during which the clock was not
// changed: how long the program stood still beyond the second a tick takes,
// when that is long enough to tell from a tick that was merely late.
std::optional<qint64> heldUpBeyondTick(qint64 monotonicMs);

// The slots the clock starts in `second`, ascending: those due by the
// timetable's rule (isDue) at the time the clocks of `zone` read then. The
// first second they read a time on a date always starts its slots, so a clock
// set back by hand rings them again; the hour read again as the clocks go
// back is not a new day and starts only a slot the clock has not started at
// that time on that date.
std::vector<int> slotsDueAt(const Timetable& timetable, WallSecond second, const QTimeZone& zone);

// The last second in `range` at which the clocks of `zone` first read
// `startTime` on a date, if any.
std::optional<WallSecond> lastOccurrence(QTime startTime, SecondRange range, const QTimeZone& zone);
