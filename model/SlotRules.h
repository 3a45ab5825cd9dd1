#pragma once

#include "model/SlotState.h"

#include <array>
#include <vector>

// The rules that decide on a slot, as pure functions of its state.

// Whether slot `slot` has a file to play. Slot 0 goes by the path, the others
// by the name shown: they differ only for a file whose whole name is its
// extension, such as ".mp3".
bool hasFile(const SlotState& s, int slot);

// The clock starts a slot in `second` when its start time is that very second
// of the day and it has a file.
bool isDue(const SlotState& s, int slot, QTime second);

// Whether the clock has started the slot on the local `date` at the start
// time now in force. A time entered anew has not rung that date.
bool startedByClockOn(const SlotState& s, QDate date);

// The players a start of `slot` pauses, in the order they are paused: every
// other one, ascending.
std::vector<int> slotsPausedByStartOf(int slot);

// The answer to open `asked`, judged against the slot as it is now: stale
// before anything else, then refused, then overtaken by a start.
AnswerVerdict judgeAnswer(const OpenTicket& asked, const SlotState& now, bool ended, bool refused);

// Which controls the operator may press. Locked, only "&UnLock"; unlocked,
// "&Lock", "&Quit", every "&Select", and the other three buttons of each slot
// that has a file.
struct SlotButtonsEnabled {
    bool chooseFile = false;
    bool setTime = false;
    bool run = false;
    bool stop = false;
    friend bool operator==(const SlotButtonsEnabled&, const SlotButtonsEnabled&) = default;
};
struct ControlsEnabled {
    bool lock = false;
    bool unlock = false;
    bool quit = false;
    std::array<SlotButtonsEnabled, SlotCount> rows{};
};
ControlsEnabled controlsEnabled(const std::array<SlotState, SlotCount>& rows, bool locked);
