#pragma once

#include "model/SlotState.h"

#include <array>

class MediaPlayer;

// The ten slots' players, owned by the main window; slot i plays through
// players[i]. GUI thread only.
using SlotPlayers = std::array<MediaPlayer*, SlotCount>;

// The second half of making `slot` the one that sounds, after its own player
// was told to play or hold: every other player is paused, in the order the
// timetable's rule gives.
void pauseAllBut(const SlotPlayers& players, int slot);
