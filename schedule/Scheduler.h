#pragma once

#include "SecondTimer.h"
#include "StartAhead.h"
#include "WallSecond.h"

#include <optional>

class Clock;
class ErrorReporter;
struct WindowControls;
struct SecondPlan;

// The scheduling clock: on every tick of the scheduler timer it tests the seconds of local
// time that have begun since the last tick, in order, and starts every slot
// due in one of them, slots in ascending order within a second (so of several
// slots due together the highest ends up playing). Every second the clock
// passes is tested exactly once: a late tick catches up the few seconds it
// skipped, a larger jump of the clock (or a program held up as long) misses
// them, the log telling the two apart by the monotonic clock, and a clock
// set back tests its seconds again. Each start, failed start and missed start is written to
// standard error; failures and misses also show on the status line. It reads
// the start times and never changes them. GUI thread only.
class Scheduler {
public:
    Scheduler(WindowControls& c, const Clock& clock, ErrorReporter& errors);

    void tick();
    // The timetable or the players changed outside a tick: the start placed
    // ahead for the coming second is placed again from what they are now.
    void armNextSecond();
    // The program ends: nothing placed ahead may sound.
    void disarm();

private:
    void reportClockChange(const SecondPlan& plan, WallSecond lastTested, WallSecond current,
        std::optional<qint64> heldUpMs) const;
    void reportMissed(SecondRange missed, const QDateTime& now, bool heldUp);
    void start(int slot, WallSecond second);

    WindowControls& c_;
    const Clock& clock_;
    ErrorReporter& errors_;
    SecondTimer timer_;
    std::optional<WallSecond> lastTested_;
    StartAhead startAhead_;
    // Both clocks as read at the last tick that tested a second.
    QDateTime lastTickWall_;
    qint64 lastTickMonotonicMs_ = 0;
};
