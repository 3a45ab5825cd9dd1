#pragma once

#include "schedule/SecondTimer.h"
#include "schedule/StartAhead.h"
#include "schedule/WallSecond.h"
#include "sounding/SlotPlayers.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class Clock;
class ErrorReporter;
class QTimeZone;
class QTimer;
class SlotStarter;
class SoundOutputCheck;
class Timetable;
struct SecondPlan;

// The scheduling clock: on every tick of the scheduler timer it tests the seconds of local
// time that have begun since the last tick, in order, and starts every slot
// due in one of them, slots in ascending order within a second (so of several
// slots due together the highest ends up playing). Every second the clock
// passes is tested exactly once: a late tick catches up the few seconds it
// skipped, a larger jump of the clock (or a program held up as long) misses
// them, the log telling the two apart by the monotonic clock, and a clock
// set back tests its seconds again. The seconds are real ones: on the nights
// summer time begins and ends they run on evenly, a slot starts only the
// first time the clocks read its time on a date, and the change is logged as
// such, with the starts it skips. Each start, failed start and missed start is written to
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
    // `timer` is the window's scheduler timer, which the clock arms.
    Scheduler(Timetable& timetable, SlotStarter& starter, QTimer* timer, const Clock& clock,
        ErrorReporter& errors, const SoundOutputCheck& output);

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
        const QTimeZone& zone, std::optional<qint64> heldUpMs) const;
    // Between two ticks with no change of the clock: summer time began or
    // ended, and the starts it skips.
    void reportZoneChange(const QDateTime& last, const QDateTime& now);
    void reportMissed(SecondRange missed, const QDateTime& now, bool heldUp,
        std::optional<std::pair<int, WallSecond>> sounded);
    // Starts the slots due in `second`, ascending, all through one start:
    // the last that starts is left sounding, the others are silenced by it
    // before a sample of theirs is heard.
    void start(const std::vector<int>& due, WallSecond second);
    struct AwaitedSound {
        int slot;
        WallSecond second;
        QString what;
        // How long the program stood still around the start, if it did.
        std::optional<qint64> heldUpMs;
    };
    // Logs a start made: true once its first sample is known or can no
    // longer be waited for.
    bool logHeard(const AwaitedSound& start, bool lastLook);
    void logStartsAwaitingTheirSound();

    Timetable& t_;
    SlotStarter& starter_;
    SlotPlayers players_;
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
    // How long the program stood still before this tick, beyond a tick's
    // length, if it did.
    std::optional<qint64> heldUpMs_;
};
