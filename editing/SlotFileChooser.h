#pragma once

#include <QString>

class ErrorReporter;
struct WindowControls;

// "&Select": gives a slot its sound file through the slot's file dialog,
// opens it in the slot's player, shows its base name and makes the slot's
// run, start-time and stop buttons usable. A file the player refuses is
// reported once and leaves the slot exactly as it was before the click.
// GUI thread only; works on controls owned by the window.
class SlotFileChooser {
public:
    SlotFileChooser(WindowControls& controls, ErrorReporter& errors);

    void choose(int slot);

private:
    void showChoice(int slot, const QString& path);

    WindowControls& c_;
    ErrorReporter& errors_;
};
