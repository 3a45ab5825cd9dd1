#pragma once

#include "SecondTimer.h"
#include "StartAhead.h"
#include "WallSecond.h"

#include <QString>

#include <optional>
#include <vector>

class Clock;
class ErrorReporter;
class SoundOutputCheck;
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
// standard error; failures and misses also show on the status line. What is
// logged is what was heard: a start's line gives when its first sample left
// the sound device (for a start the tick made itself, at the next tick); a
// start heard more than 5 ms off its second, or not at all, also goes on the
// status line, with the output's trouble named when there is one (and the
// output itself when a start placed ahead was late by its latency); and a start
// placed ahead that sounded while the program was held up is logged as
// started, not missed. It reads the start times and never changes them. GUI
// thread only.
class Scheduler {
public:
    Scheduler(WindowControls& c, const Clock& clock, ErrorReporter& errors,
        const SoundOutputCheck& output);

    // Further off its second than this, a start is reported.
    static constexpr double HeardWithinMs = 5;

    void tick();
    // The timetable or the players changed outside a tick: the start placed
    // ahead for the coming second is placed again from what they are now.
    void armNextSecond();
    // The program ends: nothing placed ahead may sound.
    void disarm();

private:
    void reportClockChange(const SecondPlan& plan, WallSecond lastTested, WallSecond current,
        std::optional<qint64> heldUpMs) const;
    void reportMissed(SecondRange missed, const QDateTime& now, bool heldUp,
        std::optional<std::pair<int, WallSecond>> sounded);
    // `heard`: the slot is the last started in its second, the one left sounding.
    void start(int slot, WallSecond second, bool heard);
    struct AwaitedSound {
        int slot;
        WallSecond second;
        QString what;
        bool placedAhead;
    };
    // Logs a start made: true once its first sample is known or can no
    // longer be waited for.
    bool logHeard(const AwaitedSound& start, bool lastLook);
    void logStartsAwaitingTheirSound();

    WindowControls& c_;
    const Clock& clock_;
    ErrorReporter& errors_;
    const SoundOutputCheck& output_;
    SecondTimer timer_;
    std::vector<AwaitedSound> awaitingSound_;
    std::optional<WallSecond> lastTested_;
    StartAhead startAhead_;
    // Both clocks as read at the last tick that tested a second.
    QDateTime lastTickWall_;
    qint64 lastTickMonotonicMs_ = 0;
};
