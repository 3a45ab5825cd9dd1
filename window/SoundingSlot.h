#pragma once

struct WindowControls;

// Makes `slot` the one slot that sounds and shows its progress, as after a
// start by the clock or a click on a run button: every other player is
// paused in ascending order, its file label turns red and the others take the
// button-text colour, and only its progress timer runs (a timer that already
// runs keeps its rhythm). GUI thread only.
void makeSoundingSlot(WindowControls& controls, int slot);
