#pragma once

#include "model/SlotState.h"

#include <QString>

// What a screen reader says of a slot's controls besides their names, which
// stay their captions: which slot each belongs to and what it holds, so that
// row 7's "Stop" is not heard as row 2's. Kept current by the view.
struct SlotDescriptions {
    QString file; // "Slot 4, bell" or "Slot 4, no file": the file label and its buttons
    QString startTime; // "Slot 4, start 10:00:00": the start-time label and "&KelTime"
    QString elapsed; // "Slot 4, elapsed"
    QString total; // "Slot 4, total"
};

SlotDescriptions describeSlotControls(int slot, const SlotState& state);
