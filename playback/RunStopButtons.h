#pragma once

class Clock;
class ErrorReporter;
struct WindowControls;

// The run button ("&RunNow" / "&Pause") and the stop button ("&Stop") of the
// slots. The run button's caption is the slot's only play state: exactly
// "&RunNow" means a click starts the slot, any other caption that it holds
// it. Whichever it does, the clicked slot becomes the one that sounds and
// shows its progress: the other nine players are paused, its file label turns
// red and the others take the button-text colour, its progress timer runs and
// the other nine stop, and its start-time label shows the time of the click
// (the stored start time stays in force for the clock).
//
// A refused Play is a PlatformError naming the slot's file; the caller's
// edge reports it and the remaining steps are not taken, so a start whose
// Play fails leaves this slot's caption and every other slot as they were.
// A stop silences the slot at once and opens its file again in the
// background; a refused re-open is reported when it answers, and an answer
// that comes after the slot was started again is dropped, so it never
// silences that start.
//
// Works on the window's controls, which it does not own; GUI thread only.
class RunStopButtons {
public:
    RunStopButtons(WindowControls& controls, const Clock& clock, ErrorReporter& errors);

    // A click on runButton of the slot.
    void run(int slot);
    // A click on stopButton of the slot: silences the slot and opens its file
    // again, so the player waits at its start, and sets the caption to "&RunNow". A
    // slot without a file only gets the caption. Stopping slot 0 turns its
    // file label black.
    void stop(int slot);

private:
    void start(int slot);
    void hold(int slot);
    void makeLastTouched(int slot);
    void reopen(int slot);

    WindowControls& c_;
    const Clock& clock_;
    ErrorReporter& errors_;
};
