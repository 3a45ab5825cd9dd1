#pragma once

#include "Timetable.h"

#include <QTime>

#include <algorithm>
#include <array>
#include <optional>

class FileDialog;
class MediaPlayer;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

// The controls of one row of the timetable. The window owns the widgets; the
// player and the file dialog are owned by MainWindow.
struct SlotControls {
    QLabel* fileNameLabel = nullptr; // base name of the slot's file; empty = no file
    QFrame* separatorLine = nullptr;
    QLabel* startTimeLabel = nullptr;
    QLabel* elapsedLabel = nullptr;
    QLabel* slashLabel = nullptr;
    QLabel* totalLabel = nullptr;
    QPushButton* chooseFileButton = nullptr; // "&Select"
    QPushButton* setTimeButton = nullptr; // "&KelTime"
    QPushButton* runButton = nullptr; // "&RunNow" / "&Pause": the slot's play state
    QPushButton* stopButton = nullptr; // "&Stop"
    MediaPlayer* player = nullptr;
    FileDialog* fileDialog = nullptr; // also keeps the slot's file path
};

// The main window's controls, which together with the start times are the
// whole state of the program. Every area of the program reads and writes a
// slot through slot(i). GUI thread only.
struct WindowControls {
    std::array<SlotControls, SlotCount> rows;
    // A slot's start time of day; empty when the slot has none. The clock
    // starts a slot only when this equals the current second.
    std::array<std::optional<QTime>, SlotCount> startTimes;
    Timetable timetable;

    QLabel* clockCaption = nullptr; // "SystermTime："
    QLabel* clockLabel = nullptr; // current time of day
    QLabel* lockWarning = nullptr; // blinks while the window is locked
    QPushButton* lockButton = nullptr; // "&Lock"
    QPushButton* unlockButton = nullptr; // "&UnLock"; enabled means locked
    QPushButton* quitButton = nullptr; // "&Quit"
    QGroupBox* fileNameFrame = nullptr;
    QGroupBox* startTimeFrame = nullptr;
    QGroupBox* commandFrame = nullptr;
    QGroupBox* progressFrame = nullptr;
    QPushButton* statusLine = nullptr; // errors met during timer ticks, until acknowledged
    QLabel* nextStartLabel = nullptr; // the next start the clock will make

    QTimer* schedulerTimer = nullptr; // fires just after each second of the wall clock
    QTimer* clockTimer = nullptr; // refreshes clockLabel
    QTimer* warningShowTimer = nullptr;
    QTimer* warningHideTimer = nullptr;
    // Slot i's progress display is driven by progressTimers[i] and no other.
    std::array<QTimer*, SlotCount> progressTimers{};

    SlotControls& slot(int i) { return rows.at(std::size_t(i)); }
    const SlotControls& slot(int i) const { return rows.at(std::size_t(i)); }
    std::optional<QTime>& startTime(int i) { return startTimes.at(std::size_t(i)); }
    const std::optional<QTime>& startTime(int i) const { return startTimes.at(std::size_t(i)); }
    QTimer* progressTimer(int i) const { return progressTimers.at(std::size_t(i)); }
    std::array<QTimer*, 4 + SlotCount> allTimers() const;
};

inline std::array<QTimer*, 4 + SlotCount> WindowControls::allTimers() const
{
    std::array<QTimer*, 4 + SlotCount> all{
        schedulerTimer, clockTimer, warningShowTimer, warningHideTimer};
    std::copy(progressTimers.begin(), progressTimers.end(), all.begin() + 4);
    return all;
}
