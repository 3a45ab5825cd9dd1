#pragma once

#include "sounding/SlotPlayers.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <vector>

class MixerHold;
class Timetable;

// The one place a slot is made the one that sounds, for the clock and the
// run button alike: its player is told to play (or, for a click that holds,
// to pause), every other player is paused in slot order, and the timetable is
// told what was done, so the players and the timetable cannot drift apart by
// the order of the calls. The players of one start, and of all the clock's
// starts in one second, are told within one hold of the mixer: what is heard
// next is what they were told last, so of several slots due together the one
// left sounding keeps the start placed ahead for it, heard on its second,
// while the earlier ones are started and silenced before a sample of theirs
// is mixed. The timetable is told after the hold, which it need not share.
// GUI thread only.
class SlotStarter {
public:
    SlotStarter(Timetable& timetable, const SlotPlayers& players, MixerHold& mixer);

    const SlotPlayers& players() const { return players_; }

    // The clock's starts of `second`, on the local date `date`, `due`
    // ascending: each plays and pauses the others, the last is left sounding.
    // For each slot of `due`, in order, why it could not start (its player
    // refused to play: the slot's steps end there, the others go on), or
    // empty when it started.
    std::vector<QString> startOnSchedule(
        const std::vector<int>& due, const QDateTime& second, QDate date);

    // A click on the slot's run button at `clickedAt`: a start or a hold, as
    // the timetable says. A refused start is a PlatformError naming the
    // slot's file, and leaves every slot as it was.
    void runClicked(int slot, QTime clickedAt);

private:
    Timetable& t_;
    SlotPlayers players_;
    MixerHold& mixer_;
};
