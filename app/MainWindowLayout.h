#pragma once

#include "sounding/SlotPlayers.h"
#include "window/WindowControls.h"

class FileDialog;

class QWidget;

// Creates the main window's controls in the state the window is created in:
// captions, placeholders, colours, fonts, positions and the fourteen timers
// with their intervals, the scheduler's not yet running.
void buildMainWindow(QWidget* form, WindowControls& controls);

// Gives the slots' players and file dialogs, which the window makes apart
// from its widgets, the object names external tools find them by.
void nameSlotComponents(
    const SlotPlayers& players, const std::array<FileDialog*, SlotCount>& dialogs);
