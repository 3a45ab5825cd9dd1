#pragma once

#include <QTime>

#include <array>
#include <optional>

class FileDialog;
class MediaPlayer;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

inline constexpr int SlotCount = 10;

// The controls of one row of the timetable. The window owns the widgets; the
// player and the file dialog are owned by Form1.
struct SlotControls {
    QLabel* LabFilename = nullptr; // base name of the slot's file; empty = no file
    QFrame* Line1 = nullptr;
    QLabel* LabStarttime = nullptr;
    QLabel* lblPast = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lblTotal = nullptr;
    QPushButton* Command1 = nullptr; // "&Select"
    QPushButton* Command2 = nullptr; // "&KelTime"
    QPushButton* Command3 = nullptr; // "&RunNow" / "&Pause": the slot's play state
    QPushButton* Command5 = nullptr; // "&Stop"
    MediaPlayer* MediaPlayer1 = nullptr;
    FileDialog* CommonDialog1 = nullptr; // also keeps the slot's file path
};

// The main window's controls, which together with the start times are the
// whole state of the program. Every area of the program reads and writes a
// slot through slot[i]. GUI thread only.
struct Form1Controls {
    std::array<SlotControls, SlotCount> slot;
    // A slot's start time of day; empty when the slot has none. The clock
    // starts a slot only when this equals the current second.
    std::array<std::optional<QTime>, SlotCount> StartTime;

    QLabel* Label1 = nullptr; // "SystermTime："
    QLabel* LabNowtime = nullptr; // current time of day
    QLabel* Label2 = nullptr; // lock warning
    QPushButton* Command6 = nullptr; // "&Lock"
    QPushButton* Command7 = nullptr; // "&UnLock"; enabled means locked
    QPushButton* Command8 = nullptr; // "&Quit"
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QPushButton* StatusLine = nullptr; // errors met during timer ticks, until acknowledged
    std::array<QTimer*, 14> timers{}; // Timer1 ... Timer14

    QTimer* timer(int number) const { return timers.at(std::size_t(number - 1)); }
    // Slot i's progress display is driven by Timer(5 + i) and no other.
    QTimer* progressTimer(int slot) const { return timer(slot + 5); }
};
