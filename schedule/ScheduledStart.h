#pragma once

struct WindowControls;

// Starts a slot the way the clock does: its player plays (resuming a paused
// file where it stood), every other player is paused in slot order, its file
// label turns red and the others take the button-text colour, only its
// progress timer runs, and its run button reads "&RunNow". Touches no enabled
// flag, start time or progress label. A failing player call throws
// PlatformError and leaves the remaining steps undone.
void startSlotOnSchedule(WindowControls& c, int slot);
