#pragma once

#include "schedule/WallSecond.h"
#include "sounding/SlotPlayers.h"

#include <QDateTime>
#include <QTimeZone>

#include <optional>
#include <utility>

class Timetable;

// The instant at which `second` begins.
QDateTime startOf(WallSecond second);

// Places the scheduled start of a coming second ahead in its player, so it is
// heard on the sample at the second instead of after the tick that follows.
// The slot is chosen by the tick's own rule (the last of the slots due by
// slotsDueAt, so the hour read again as summer time ends places only a slot
// not yet rung at that time that date), from
// the timetable as it stands; whenever that may have changed (an edit, a
// tick, the end of the program) the start is placed again or withdrawn, so a
// start the tick would no longer make never sounds. The tick still makes every
// start itself; it then finds the players already in that state. GUI thread
// only.
class StartAhead {
public:
    StartAhead(const Timetable& timetable, const SlotPlayers& players)
        : t_(timetable), players_(players)
    {
    }

    void armFor(WallSecond second, const QTimeZone& zone);
    void disarm();
    // The slot and the second of the start placed, if any.
    std::optional<std::pair<int, WallSecond>> placed() const;

private:
    const Timetable& t_;
    SlotPlayers players_;
    std::optional<int> armedSlot_;
    WallSecond armedSecond_ = 0;
};
