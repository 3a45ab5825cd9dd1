#pragma once

#include "Form1Controls.h"

class QWidget;

// Creates the main window's controls in the state the window is created in:
// captions, placeholders, colours, fonts, positions and the fourteen timers
// with their first intervals. Players and file dialogs are not widgets and are
// filled in by Form1.
void buildForm1(QWidget* form, Form1Controls& controls);
