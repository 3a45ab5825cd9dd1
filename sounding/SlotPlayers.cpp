#include "SlotPlayers.h"

#include "MediaPlayer.h"
#include "SlotRules.h"

void pauseAllBut(const SlotPlayers& players, int slot)
{
    for (const int other : slotsPausedByStartOf(slot))
        players[std::size_t(other)]->pause();
}
