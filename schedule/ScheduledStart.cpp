#include "ScheduledStart.h"

#include "MediaPlayer.h"
#include "Timetable.h"

void startSlotOnSchedule(Timetable& timetable, const SlotPlayers& players, int slot)
{
    players[std::size_t(slot)]->play();
    timetable.startedOnSchedule(slot);
    pauseAllBut(players, slot);
}
