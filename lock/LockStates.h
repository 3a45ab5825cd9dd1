#pragma once

#include "window/WindowControls.h"

class QPushButton;
class QWidget;
class Timetable;

// Locked and unlocked are the timetable's `locked`, which decides the
// buttons' enabled flags (the view shows them) and which a late answer (a file
// opened after the click that asked for it) goes by, and the warning's two
// blink timers. Neither touches the clock, the scheduler, the progress
// timers, the players, the start times or any caption or colour, so a slot
// that plays goes on playing. GUI thread only.

// Nothing on the window can be changed, started or quit; the warning blinks.
void applyLockedState(WindowControls& c, Timetable& t);

// Every "&Select" can be pressed, and the other three buttons of each slot that
// has a file; the warning is hidden at once and the focus is on "&Lock".
void applyUnlockedState(WindowControls& c, Timetable& t);

// The button the Enter key presses on the main window: the focused button,
// else "&Lock", the window's default button, while the window is unlocked.
// Null when Enter presses nothing.
QPushButton* buttonForEnter(const WindowControls& c, const Timetable& t, QWidget* focused);
