#include "schedule/Scheduler.h"

#include "errors/ErrorReporter.h"
#include "model/Timetable.h"
#include "platform/Clock.h"
#include "platform/MediaPlayer.h"
#include "platform/PlatformError.h"
#include "platform/SoundOutputCheck.h"
#include "schedule/SecondPlan.h"
#include "schedule/ZoneChange.h"
#include "sounding/SlotStarter.h"
#include "window/TimeOfDayText.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QString secondText(WallSecond second, const QTimeZone& zone)
{
    return timeOfDayText(localTimeOf(second, zone).time());
}

// With the date, since a change of the clock may cross midnight.
QString dateAndSecondText(WallSecond second, const QTimeZone& zone)
{
    const QDateTime local = localTimeOf(second, zone);
    return local.date().toString(QStringLiteral("yyyy-MM-dd ")) + timeOfDayText(local.time());
}

} // namespace

Scheduler::Scheduler(Timetable& timetable, SlotStarter& starter, QTimer* timer, const Clock& clock,
    ErrorReporter& errors, const SoundOutputCheck& output)
    : t_(timetable), starter_(starter), players_(starter.players()), clock_(clock), errors_(errors),
      output_(output), timer_(timer), startAhead_(timetable, players_)
{
}

void Scheduler::tick()
{
    const QDateTime now = clock_.now();
    const QTimeZone zone = zoneOf(now);
    const qint64 monotonicMs = clock_.monotonicMs();
    timer_.armForNextSecond(now);
    const WallSecond current = wallSecondOf(now);
    const SecondPlan plan = planSeconds(lastTested_, current);
    if (plan.passage == ClockPassage::SameSecond)
        return;
    const WallSecond lastTested = lastTested_.value_or(current);
    // Recorded before any start, so that no tick let in while a slot starts
    // can test these seconds again.
    lastTested_ = current;
    const qint64 passedMs = monotonicMs - lastTickMonotonicMs_;
    // True of every tick after which the clock was not changed, not only of
    // one that came late.
    const bool heldUp = wasHeldUp(lastTickWall_.msecsTo(now), passedMs);
    const QDateTime lastTickWall = std::exchange(lastTickWall_, now);
    lastTickMonotonicMs_ = monotonicMs;
    heldUpMs_ = heldUp ? heldUpBeyondTick(passedMs) : std::nullopt;
    logStartsAwaitingTheirSound();
    reportClockChange(
        plan, lastTested, current, zone, heldUp ? std::optional(passedMs) : std::nullopt);
    if (heldUp)
        reportZoneChange(lastTickWall, now);
    // A start placed ahead sounds on its second while the program is held
    // up; it was made, not missed, and the window is brought up to it.
    std::optional<std::pair<int, WallSecond>> sounded = startAhead_.placed();
    if (sounded &&
        (!plan.missed.contains(sounded->second) ||
            !players_[std::size_t(sounded->first)]->firstSampleOf(startOf(sounded->second))))
        sounded.reset();
    reportMissed(plan.missed, now, heldUp, sounded);
    if (sounded)
        start({sounded->first}, sounded->second);
    for (WallSecond second = plan.toTest.first; second <= plan.toTest.last; ++second)
        start(slotsDueAt(t_, second, zone), second);
    // From the timetable as the starts left it, and after a change of the
    // clock from the new reading, so no switch placed before it can sound.
    startAhead_.armFor(current + 1, zone);
}

void Scheduler::armNextSecond()
{
    // After the end nothing may be placed again.
    if (t_.ended())
        return;
    const QDateTime now = clock_.now();
    startAhead_.armFor(wallSecondOf(now) + 1, zoneOf(now));
}

void Scheduler::disarm()
{
    startAhead_.disarm();
}

void Scheduler::reportClockChange(const SecondPlan& plan, WallSecond lastTested, WallSecond current,
    const QTimeZone& zone, std::optional<qint64> heldUpMs) const
{
    if (plan.passage == ClockPassage::JumpedForward && heldUpMs)
        errors_.log(QStringLiteral("Clock: the program was held up %1 s, from %2 to %3; the %4 s "
                                   "between are not tested")
                        .arg(double(*heldUpMs) / 1000, 0, 'f', 1)
                        .arg(dateAndSecondText(lastTested, zone), dateAndSecondText(current, zone))
                        .arg(current - lastTested - 1));
    else if (plan.passage == ClockPassage::JumpedForward)
        errors_.log(QStringLiteral("Clock: jumped forward from %1 to %2; the %3 s between are "
                                   "not tested")
                        .arg(dateAndSecondText(lastTested, zone), dateAndSecondText(current, zone))
                        .arg(current - lastTested - 1));
    else if (plan.passage == ClockPassage::JumpedBack)
        errors_.log(
            QStringLiteral("Clock: set back from %1 to %2; its seconds are tested again")
                .arg(dateAndSecondText(lastTested, zone), dateAndSecondText(current, zone)));
}

void Scheduler::reportZoneChange(const QDateTime& last, const QDateTime& now)
{
    const std::optional<ZoneChange> change = zoneChangeBetween(last, now);
    if (!change)
        return;
    std::vector<int> skippedSlots;
    std::vector<QTime> skipped;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const SlotState& s = t_.slot(slot);
        const std::optional<QTime>& startTime = s.startTime;
        if (!startTime || !startTime->isValid() || !hasFile(s, slot) || !change->skips(*startTime))
            continue;
        skippedSlots.push_back(slot);
        skipped.push_back(*startTime);
    }
    std::sort(skipped.begin(), skipped.end());
    skipped.erase(std::unique(skipped.begin(), skipped.end()), skipped.end());
    errors_.log(zoneChangeText(*change, skipped));
    // A bell that does not ring tonight is the operator's to know.
    for (const int slot : skippedSlots)
        errors_.fromTick(slot,
            QStringLiteral("missed %1 scheduled for %2: that time does not occur tonight")
                .arg(t_.slot(slot).name, timeOfDayText(*t_.slot(slot).startTime)));
}

void Scheduler::reportMissed(SecondRange missed, const QDateTime& now, bool heldUp,
    std::optional<std::pair<int, WallSecond>> sounded)
{
    if (missed.empty())
        return;
    const WallSecond current = wallSecondOf(now);
    const QTimeZone zone = zoneOf(now);
    for (int slot = 0; slot < SlotCount; ++slot) {
        const SlotState& s = t_.slot(slot);
        if (!s.startTime || !hasFile(s, slot))
            continue;
        const std::optional<WallSecond> due = lastOccurrence(*s.startTime, missed, zone);
        if (!due || (sounded && sounded->first == slot && sounded->second == *due))
            continue;
        errors_.fromTick(slot,
            QStringLiteral("missed %1 scheduled for %2, %3 ms late: %4 from %5 to %6")
                .arg(s.name, secondText(*due, zone))
                .arg(msAfterStartOf(*due, now))
                .arg(heldUp ? QStringLiteral("the program was held up")
                            : QStringLiteral("the clock jumped"))
                .arg(dateAndSecondText(missed.first - 1, zone), dateAndSecondText(current, zone)));
    }
}

void Scheduler::start(const std::vector<int>& due, WallSecond second)
{
    if (due.empty())
        return;
    const QDateTime now = clock_.now();
    const QTimeZone zone = zoneOf(now);
    const qint64 msLate = msAfterStartOf(second, now);
    const auto what = [&](int slot) {
        QString text = QStringLiteral("%1 scheduled for %2, %3 ms late")
                           .arg(t_.slot(slot).name, secondText(second, zone))
                           .arg(msLate);
        if (msLate >= 1000)
            text += QStringLiteral(" (caught up after a late tick)");
        return text;
    };
    const std::vector<QString> refusals =
        starter_.startOnSchedule(due, startOf(second), localTimeOf(second, zone).date());
    std::optional<std::size_t> leftSounding;
    for (std::size_t i = 0; i < due.size(); ++i)
        if (refusals[i].isEmpty())
            leftSounding = i;
    for (std::size_t i = 0; i < due.size(); ++i) {
        const int slot = due[i];
        if (!refusals[i].isEmpty())
            errors_.fromTick(slot,
                QStringLiteral("could not start ") + what(slot) + QStringLiteral(": ") +
                    refusals[i]);
        // Silenced by the one left sounding before a sample of theirs could
        // be heard.
        else if (i != leftSounding)
            errors_.log(describeSlot(slot) + QStringLiteral(": started ") + what(slot));
        else if (const AwaitedSound awaited{slot, second, what(slot), heldUpMs_};
                 !logHeard(awaited, false))
            awaitingSound_.push_back(awaited);
    }
}

void Scheduler::logStartsAwaitingTheirSound()
{
    // After the program stood still, the sound output is given a tick to run
    // again before a start is said not to have been heard.
    for (AwaitedSound start : std::exchange(awaitingSound_, {})) {
        if (heldUpMs_)
            start.heldUpMs = heldUpMs_;
        if (!logHeard(start, !heldUpMs_))
            awaitingSound_.push_back(start);
    }
}

bool Scheduler::logHeard(const AwaitedSound& start, bool lastLook)
{
    const auto& [slot, second, what, heldUpMs] = start;
    const std::optional<FirstSample> firstSample =
        players_[std::size_t(slot)]->firstSampleOf(startOf(second));
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
    const double ms = firstSample->msAfter;
    const QString line = QStringLiteral("started %1, first sample %2%3 ms")
                             .arg(what, ms >= 0 ? QStringLiteral("+") : QString())
                             .arg(ms, 0, 'f', 1);
    if (std::abs(ms) > HeardWithinMs) {
        // Late because the program stood still, not the output.
        QString cause;
        if (heldUpMs && ms > 0)
            cause = QStringLiteral(": the program was held up %1 ms").arg(*heldUpMs);
        else if (firstSample->placedAhead && ms > 0 && !output_.name().isEmpty())
            cause = QStringLiteral(": the sound output (%1) could not render it sooner")
                        .arg(output_.name());
        errors_.fromTick(slot,
            line + QStringLiteral(", more than %1 ms off its second").arg(HeardWithinMs) + cause);
    } else {
        errors_.log(describeSlot(slot) + QStringLiteral(": ") + line);
        // Off its second it is a problem, which the status line alerts.
        errors_.announce(QStringLiteral("%1: started %2 at %3")
                             .arg(describeSlot(slot), t_.slot(slot).name,
                                 secondText(second, zoneOf(clock_.now()))));
    }
    return true;
}
