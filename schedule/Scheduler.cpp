#include "Scheduler.h"

#include "Clock.h"
#include "ErrorReporter.h"
#include "HandlerEdge.h"
#include "MediaPlayer.h"
#include "PlatformError.h"
#include "ScheduledStart.h"
#include "SecondPlan.h"
#include "SoundOutputCheck.h"
#include "TimeOfDayText.h"
#include "WindowControls.h"

#include <QDate>
#include <QLabel>

#include <cmath>
#include <utility>

namespace {

QString secondText(WallSecond second)
{
    return timeOfDayText(timeOfDayOf(second));
}

// With the date, since a change of the clock may cross midnight.
QString dateAndSecondText(WallSecond second)
{
    const QDate day = QDate::fromJulianDay(second / SecondsPerDay);
    return day.toString(QStringLiteral("yyyy-MM-dd ")) + secondText(second);
}

} // namespace

Scheduler::Scheduler(
    WindowControls& c, const Clock& clock, ErrorReporter& errors, const SoundOutputCheck& output)
    : c_(c), clock_(clock), errors_(errors), output_(output), timer_(c.schedulerTimer),
      startAhead_(c)
{
}

void Scheduler::tick()
{
    const QDateTime now = clock_.now();
    const qint64 monotonicMs = clock_.monotonicMs();
    timer_.armForNextSecond(now);
    const WallSecond current = wallSecondOf(now);
    const SecondPlan plan = planSeconds(lastTested_, current);
    if (plan.passage == ClockPassage::SameSecond)
        return;
    logStartsAwaitingTheirSound();
    const WallSecond lastTested = lastTested_.value_or(current);
    // Recorded before any start, so that no tick let in while a slot starts
    // can test these seconds again.
    lastTested_ = current;
    const qint64 passedMs = monotonicMs - lastTickMonotonicMs_;
    const bool heldUp = wasHeldUp(lastTickWall_.msecsTo(now), passedMs);
    lastTickWall_ = now;
    lastTickMonotonicMs_ = monotonicMs;
    reportClockChange(plan, lastTested, current, heldUp ? std::optional(passedMs) : std::nullopt);
    // A start placed ahead sounds on its second while the program is held
    // up; it was made, not missed, and the window is brought up to it.
    std::optional<std::pair<int, WallSecond>> sounded = startAhead_.placed();
    if (sounded &&
        (!plan.missed.contains(sounded->second) ||
            !c_.slot(sounded->first).player->firstSampleMsAfter(startOf(sounded->second))))
        sounded.reset();
    reportMissed(plan.missed, now, heldUp, sounded);
    if (sounded)
        start(sounded->first, sounded->second, true);
    for (WallSecond second = plan.toTest.first; second <= plan.toTest.last; ++second) {
        const QTime timeOfDay = timeOfDayOf(second);
        std::vector<int> due;
        for (int slot = 0; slot < SlotCount; ++slot)
            if (isDue(c_.startTime(slot), c_.slot(slot).fileNameLabel->text(), timeOfDay))
                due.push_back(slot);
        for (const int slot : due)
            start(slot, second, slot == due.back());
    }
    // From the timetable as the starts left it, and after a change of the
    // clock from the new reading, so no switch placed before it can sound.
    startAhead_.armFor(current + 1);
}

void Scheduler::armNextSecond()
{
    // After the end nothing may be placed again.
    if (c_.timetable.ended)
        return;
    startAhead_.armFor(wallSecondOf(clock_.now()) + 1);
}

void Scheduler::disarm()
{
    startAhead_.disarm();
}

void Scheduler::reportClockChange(const SecondPlan& plan, WallSecond lastTested, WallSecond current,
    std::optional<qint64> heldUpMs) const
{
    if (plan.passage == ClockPassage::JumpedForward && heldUpMs)
        errors_.log(QStringLiteral("Clock: the program was held up %1 s, from %2 to %3; the %4 s "
                                   "between are not tested")
                        .arg(double(*heldUpMs) / 1000, 0, 'f', 1)
                        .arg(dateAndSecondText(lastTested), dateAndSecondText(current))
                        .arg(current - lastTested - 1));
    else if (plan.passage == ClockPassage::JumpedForward)
        errors_.log(QStringLiteral("Clock: jumped forward from %1 to %2; the %3 s between are "
                                   "not tested")
                        .arg(dateAndSecondText(lastTested), dateAndSecondText(current))
                        .arg(current - lastTested - 1));
    else if (plan.passage == ClockPassage::JumpedBack)
        errors_.log(QStringLiteral("Clock: set back from %1 to %2; its seconds are tested again")
                        .arg(dateAndSecondText(lastTested), dateAndSecondText(current)));
}

void Scheduler::reportMissed(SecondRange missed, const QDateTime& now, bool heldUp,
    std::optional<std::pair<int, WallSecond>> sounded)
{
    if (missed.empty())
        return;
    const WallSecond current = wallSecondOf(now);
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QString file = c_.slot(slot).fileNameLabel->text();
        if (!c_.startTime(slot) || file.isEmpty())
            continue;
        const std::optional<WallSecond> due = lastOccurrence(*c_.startTime(slot), missed);
        if (!due || (sounded && sounded->first == slot && sounded->second == *due))
            continue;
        errors_.fromTick(slot,
            QStringLiteral("missed %1 scheduled for %2, %3 ms late: %4 from %5 to %6")
                .arg(file, secondText(*due))
                .arg(msAfterStartOf(*due, now))
                .arg(heldUp ? QStringLiteral("the program was held up")
                            : QStringLiteral("the clock jumped"))
                .arg(dateAndSecondText(missed.first - 1), dateAndSecondText(current)));
    }
}

void Scheduler::start(int slot, WallSecond second, bool heard)
{
    const qint64 msLate = msAfterStartOf(second, clock_.now());
    QString what = QStringLiteral("%1 scheduled for %2, %3 ms late")
                       .arg(c_.slot(slot).fileNameLabel->text(), secondText(second))
                       .arg(msLate);
    if (msLate >= 1000)
        what += QStringLiteral(" (caught up after a late tick)");
    const bool started = runTickSteps(errors_, slot, [&] {
        try {
            startSlotOnSchedule(c_, slot);
        } catch (const PlatformError& error) {
            throw PlatformError(
                QStringLiteral("could not start ") + what + QStringLiteral(": ") + error.reason());
        }
    });
    if (!started)
        return;
    // Of the slots due in one second only the last sounds; the others are
    // silenced by it before a sample of theirs can be heard.
    // A start placed ahead sounds at the frame the output renders on its
    // second: later than that, only the output's latency can have kept it.
    const bool placedAhead = startAhead_.placed() == std::pair(slot, second);
    if (!heard)
        errors_.log(describeSlot(slot) + QStringLiteral(": started ") + what);
    else if (!logHeard({slot, second, what, placedAhead}, false))
        awaitingSound_.push_back({slot, second, what, placedAhead});
}

void Scheduler::logStartsAwaitingTheirSound()
{
    for (const AwaitedSound& start : std::exchange(awaitingSound_, {}))
        logHeard(start, true);
}

bool Scheduler::logHeard(const AwaitedSound& start, bool lastLook)
{
    const auto& [slot, second, what, placedAhead] = start;
    const std::optional<double> firstSample =
        c_.slot(slot).player->firstSampleMsAfter(startOf(second));
    if (!firstSample && !lastLook)
        return false;
    if (!firstSample) {
        const QString problem = output_.problem();
        // With the output playing, only the file can have kept it silent.
        errors_.fromTick(slot,
            QStringLiteral("started %1, but it was not heard: %2")
                .arg(what,
                    problem.isEmpty()
                        ? QStringLiteral("its file gave no sound in time (a hung drive or "
                                         "network share?)")
                        : QStringLiteral("no sound output (%1)").arg(problem)));
        return true;
    }
    const QString line = QStringLiteral("started %1, first sample %2%3 ms")
                             .arg(what, *firstSample >= 0 ? QStringLiteral("+") : QString())
                             .arg(*firstSample, 0, 'f', 1);
    if (std::abs(*firstSample) > HeardWithinMs)
        errors_.fromTick(slot,
            line + QStringLiteral(", more than %1 ms off its second").arg(HeardWithinMs) +
                (placedAhead && *firstSample > 0 && !output_.name().isEmpty()
                        ? QStringLiteral(": the sound output (%1) could not render it sooner")
                              .arg(output_.name())
                        : QString()));
    else
        errors_.log(describeSlot(slot) + QStringLiteral(": ") + line);
    return true;
}
