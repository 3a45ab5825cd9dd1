#pragma once

class MediaPlayer;
struct SlotControls;

// One tick of a slot's progress timer: reads the slot player's position, then
// its length, and writes them into elapsedLabel and totalLabel as progressText,
// the length marked "~" while it is only an estimate. It
// looks at nothing else (not whether the player plays) and changes no button
// or timer. A failing reading is a PlatformError; the labels written before
// it keep their new text. GUI thread only.
void showProgress(SlotControls& slot, const MediaPlayer& player);
