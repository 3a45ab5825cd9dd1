#pragma once

#include "sounding/SlotPlayers.h"

class Clock;
class ErrorReporter;
class SlotStarter;
class Timetable;

// The run button ("&RunNow" / "&Pause") and the stop button ("&Stop") of the
// slots. What a click on the run button does, start or hold, is the
// timetable's to say. Whichever it does, the clicked slot becomes the one
// that sounds and shows its progress: the other nine players are paused, and
// its start-time label shows the time of the click (the stored start time
// stays in force for the clock).
//
// A refused Play is a PlatformError naming the slot's file; the caller's
// edge reports it and the remaining steps are not taken, so a start whose
// Play fails leaves this slot and every other slot as they were.
// A stop silences the slot at once and opens its file again in the
// background; a refused re-open is reported when it answers, and an answer
// that comes after the slot was started again is dropped, so it never
// silences that start. GUI thread only.
class RunStopButtons {
public:
    RunStopButtons(
        Timetable& timetable, SlotStarter& starter, const Clock& clock, ErrorReporter& errors);

    // A click on runButton of the slot.
    void run(int slot);
    // A click on stopButton of the slot: silences the slot and opens its file
    // again, so the player waits at its start, and the next click starts it.
    // A slot without a file only offers the start.
    void stop(int slot);

private:
    void reopen(int slot);

    Timetable& t_;
    SlotStarter& starter_;
    SlotPlayers players_;
    const Clock& clock_;
    ErrorReporter& errors_;
};
