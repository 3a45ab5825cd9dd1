#pragma once

#include "schedule/WallSecond.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <vector>

class Timetable;

// Called on the GUI thread, from the scheduling clock's tick and the checks
// made ahead of a start.

// The next second after `after` in which the clock will start `slot`, by the
// clock's own rule (slotsDueAt) in `zone`; empty when it never will. Counted
// in real seconds, so a countdown to it holds across a change of summer time.
std::optional<WallSecond> nextDue(
    const Timetable& timetable, int slot, WallSecond after, const QTimeZone& zone);

// The next second after `after` in which the clock starts any slot, and the
// slots it starts then, in ascending order: the clock starts them in that
// order, so the last one is left sounding.
struct NextStart {
    WallSecond second = 0;
    std::vector<int> starting;
};
std::optional<NextStart> nextStart(
    const Timetable& timetable, WallSecond after, const QTimeZone& zone);

// How long until a start, as the operator reads it: "58 s", "12 min 03 s",
// "3 h 05 min 00 s".
QString untilText(qint64 seconds);

// The line under the timetable, e.g. "Next: 10:00:00  bell (slot 4)  in 12 min 03 s",
// "Next: 3 slots at 10:00:00, slot 7 sounds  in 12 min 03 s", "Next: tomorrow 7:55:00  ...",
// or "No start scheduled", as of the clock's reading `now` in its own zone.
QString nextStartText(const Timetable& timetable, const QDateTime& now);
