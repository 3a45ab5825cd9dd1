#include "sounding/SlotPlayers.h"

#include "model/SlotRules.h"
#include "platform/MediaPlayer.h"

void pauseAllBut(const SlotPlayers& players, int slot)
{
    for (const int other : slotsPausedByStartOf(slot))
        players[std::size_t(other)]->pause();
}
