#pragma once

#include "model/SlotState.h"
#include "sounding/SlotPlayers.h"

#include <QString>

#include <array>

class ErrorReporter;
class FileDialog;
class Timetable;

// "&Select": asks the slot's file dialog for a file (a cancel takes the
// slot's file again), opens it in the slot's player, and when the player has
// answered the timetable takes it: the slot shows its base name and, unless
// the window was locked meanwhile, its run, start-time and stop buttons are
// usable. Until then the slot keeps its old file and the handler has long
// returned. The answer is judged against the timetable as it is then: a file
// the player refuses is reported once and leaves the slot exactly as it was
// before the click; so does a file that answers after the slot was started
// meanwhile, since its start is not cut short; an answer after the program
// ended or after a later choice is dropped unseen. GUI thread only.
class SlotFileChooser {
public:
    SlotFileChooser(Timetable& timetable, const SlotPlayers& players,
        const std::array<FileDialog*, SlotCount>& dialogs, ErrorReporter& errors);

    void choose(int slot);

private:
    bool answered(int slot, const QString& path, const OpenTicket& asked, const QString& refusal);

    Timetable& t_;
    SlotPlayers players_;
    std::array<FileDialog*, SlotCount> dialogs_;
    ErrorReporter& errors_;
};
