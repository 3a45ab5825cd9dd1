#include "ScheduledStart.h"

#include "MediaPlayer.h"
#include "Timetable.h"

void startSlotOnSchedule(Timetable& timetable, const SlotPlayers& players, int slot, QDate date)
{
    players[std::size_t(slot)]->play();
    timetable.startedOnSchedule(slot, date);
    pauseAllBut(players, slot);
}
