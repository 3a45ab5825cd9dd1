#pragma once

#include <QString>

class ErrorReporter;
struct WindowControls;

// "&Select": gives a slot its sound file through the slot's file dialog,
// opens it in the slot's player, and when the player has answered shows its
// base name and makes the slot's run, start-time and stop buttons usable
// (unless the window was locked meanwhile). Until then the slot keeps its
// old file and the handler has long returned. A file the player refuses is
// reported once and leaves the slot exactly as it was before the click; so
// does a file that answers after the slot was started meanwhile, since its
// start is not cut short, and a file that answers after the program ended
// or after a later choice is dropped unseen. GUI thread only; works on
// controls owned by the window.
class SlotFileChooser {
public:
    SlotFileChooser(WindowControls& controls, ErrorReporter& errors);

    void choose(int slot);

private:
    bool answered(int slot, const QString& path, int asked, int startsThen, const QString& refusal);
    void applyChoice(int slot, const QString& path);

    WindowControls& c_;
    ErrorReporter& errors_;
};
