#pragma once

#include "ErrorReporter.h"
#include "Form1Controls.h"
#include "PlatformServices.h"
#include "RunStopButtons.h"
#include "SlotFileChooser.h"
#include "StartTimeEditor.h"
#include "WindowLock.h"

#include <QWidget>

#include <array>
#include <memory>

class ClockDisplay;
class Scheduler;

// The main window: the ten-slot timetable, the clock, the lock and the quit
// button. It owns the slots' players and file dialogs and routes every click
// and timer tick to the handler of its area. GUI thread only.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(PlatformServices& platform, QWidget* parent = nullptr);
    ~Form1() override;

    Form1Controls& controls() { return c_; }
    ErrorReporter& errors() { return errors_; }

    WindowLock& lock() { return lock_; }

    // Start-up and quit. Form_Load is called once, right after the window is
    // created and before any tick.
    void Form_Load();
    void Command8_Click();

    // The clock display and the scheduled start.
    void Timer1_Timer();
    void Timer2_Timer();

    // Choosing a slot's file and setting its start time.
    void Command1_Click(int index);
    void Command2_Click(int index);

    // Lock, unlock and the blinking warning.
    void Command6_Click();
    void Command7_Click();
    void Timer3_Timer();
    void Timer4_Timer();

    // Run, pause and stop by hand, and the ten progress displays, which all
    // share one routine taking the slot index.
    void Command3_Click(int index);
    void Command5_Click(int index);
    void progressTick(int slot);
    void Timer5_Timer() { progressTick(0); }
    void Timer6_Timer() { progressTick(1); }
    void Timer7_Timer() { progressTick(2); }
    void Timer8_Timer() { progressTick(3); }
    void Timer9_Timer() { progressTick(4); }
    void Timer10_Timer() { progressTick(5); }
    void Timer11_Timer() { progressTick(6); }
    void Timer12_Timer() { progressTick(7); }
    void Timer13_Timer() { progressTick(8); }
    void Timer14_Timer() { progressTick(9); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool askToQuit();
    void endProgram();
    void connectPlayback();

    PlatformServices& platform_;
    Form1Controls c_;
    ErrorReporter errors_;
    WindowLock lock_;
    std::array<std::unique_ptr<MediaPlayer>, SlotCount> players_;
    std::array<std::unique_ptr<FileDialog>, SlotCount> dialogs_;
    SlotFileChooser fileChooser_;
    StartTimeEditor startTimeEditor_;
    RunStopButtons runStop_;
    // These two take controls at construction, so they come after the layout.
    std::unique_ptr<Scheduler> scheduler_;
    std::unique_ptr<ClockDisplay> clockDisplay_;
    bool ended_ = false;
};
