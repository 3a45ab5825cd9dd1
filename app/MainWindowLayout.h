#pragma once

#include "WindowControls.h"

class QWidget;

// Creates the main window's controls in the state the window is created in:
// captions, placeholders, colours, fonts, positions and the fourteen timers
// with their first intervals. Players and file dialogs are not widgets and are
// filled in by MainWindow.
void buildMainWindow(QWidget* form, WindowControls& controls);

// Gives the slots' players and file dialogs, which the window makes apart
// from its widgets, the object names external tools find them by.
void nameSlotComponents(WindowControls& controls);
