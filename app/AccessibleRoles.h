#pragma once

// What a screen reader is told each part of the window is, where Qt's own
// guess misleads: the main window is a plain QWidget, which Qt exposes as a
// "filler", and the status line is a flat push button whose news a screen
// reader would never speak. Installed once per process, before the window is
// built; every control keeps its name.
void installAccessibleRoles();
