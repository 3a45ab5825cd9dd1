#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

inline constexpr int SlotCount = 10;

// What a click on a slot's run button does next. It reads "&RunNow" while a
// click starts the slot, also while the clock's start of it plays: a click
// then plays on and offers the pause.
enum class RunClick { Start, Hold };

// How a slot's file name is marked: as the window was created, the slot that
// sounds (last started or touched), one of the others, or slot 0 stopped by
// hand.
enum class FileMark { Unmarked, Sounding, Quiet, Stopped };

// An open() asked for a slot, to judge its answer by when it comes.
struct OpenTicket {
    int open = 0;
    // The slot's starts when it was asked: a start since must not be cut
    // short by the answer.
    int startsThen = 0;
};

// What becomes of the answer to an open(), judged against the state in force.
enum class AnswerVerdict {
    Stale, // a later open was asked, or the program ended: dropped unseen
    Refused, // the player could not open the file
    StartedMeanwhile, // the slot started after the open was asked: its start stands
    Taken,
};

// A start of a slot by the clock: the local date it was made on and the start
// time it was made at.
struct ClockStart {
    QDate date;
    QTime startTime;
};

struct SlotState {
    // The chosen file: its path, the base name the slot shows, and how many
    // choices were taken (choosing the same path again makes the file as it
    // is now the chosen one).
    QString path;
    QString name;
    int choices = 0;
    // The start time as entered; empty when the slot has none. An invalid
    // time never matches a second.
    std::optional<QTime> startTime;
    // What the start-time label shows: the time entered, or the time of the
    // last click on the run button (the entered time stays in force).
    std::optional<QTime> shownTime;
    RunClick nextClick = RunClick::Start;
    FileMark mark = FileMark::Unmarked;
    // open()s asked; an answer to any but the awaited one is stale.
    int opensAsked = 0;
    std::optional<int> awaitedOpen;
    // Starts by the clock or the run button.
    int starts = 0;
    // The clock's last start: on the night the clocks go back, the hour read
    // again does not start a slot again at a time it has rung that date.
    std::optional<ClockStart> lastClockStart;
};
