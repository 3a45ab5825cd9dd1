#pragma once

#include "model/SlotState.h"

#include <algorithm>
#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

// The controls of one row of the timetable, owned by the window.
struct SlotControls {
    QLabel* fileNameLabel = nullptr; // base name of the slot's file
    QFrame* separatorLine = nullptr;
    QLabel* startTimeLabel = nullptr;
    QLabel* elapsedLabel = nullptr;
    QLabel* slashLabel = nullptr;
    QLabel* totalLabel = nullptr;
    QPushButton* chooseFileButton = nullptr; // "&Select"
    QPushButton* setTimeButton = nullptr; // "&KelTime"
    QPushButton* runButton = nullptr; // "&RunNow" / "&Pause"
    QPushButton* stopButton = nullptr; // "&Stop"
};

// The main window's controls. They show the timetable, which holds the
// program's state; the slots' widgets are written by TimetableView alone.
// GUI thread only.
struct WindowControls {
    std::array<SlotControls, SlotCount> rows;

    QLabel* clockCaption = nullptr; // "SystermTime："
    QLabel* clockLabel = nullptr; // current time of day
    QLabel* lockWarning = nullptr; // blinks while the window is locked
    QPushButton* lockButton = nullptr; // "&Lock"
    QPushButton* unlockButton = nullptr; // "&UnLock"
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
