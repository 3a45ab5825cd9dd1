#pragma once

#include "WindowControls.h"

class QPushButton;
class QWidget;

// Locked and unlocked are two settings of the buttons' enabled flags and of
// the warning's two blink timers, and the timetable's `locked`, which a late
// answer (a file opened after the click that asked for it) goes by. Neither
// touches the clock, the scheduler, the progress timers, the players, the
// start times or any caption or colour, so a slot that plays goes on
// playing. GUI thread only.

// Nothing on the window can be changed, started or quit; the warning blinks.
void applyLockedState(WindowControls& c);

// Every "&Select" can be pressed, and the other three buttons of each slot that
// has a file; the warning is hidden at once and the focus is on "&Lock".
void applyUnlockedState(WindowControls& c);

bool isLocked(const WindowControls& c);

// The button the Enter key presses on the main window: the focused button,
// else "&Lock", the window's default button, while it is enabled. Null when
// Enter presses nothing.
QPushButton* buttonForEnter(const WindowControls& c, QWidget* focused);
