#pragma once

#include "SlotPlayers.h"

#include <QDate>

class Timetable;

// Starts a slot the way the clock does: its player plays (resuming a paused
// file where it stood), the timetable counts the start on the local date
// `date` and makes it the sounding slot, and every other player is paused in
// slot order. A failing
// player call throws PlatformError and leaves the remaining steps undone.
// Called on the GUI thread, from the scheduling clock's tick.
void startSlotOnSchedule(Timetable& timetable, const SlotPlayers& players, int slot, QDate date);
