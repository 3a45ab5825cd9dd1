#pragma once

#include "ErrorReporter.h"
#include "Form1Controls.h"
#include "PlatformServices.h"
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

    // Called once, right after the window is created and before any tick.
    void Form_Load();
    void Command8_Click();
    void Command1_Click(int index);
    void Command2_Click(int index);
    void Timer1_Timer();
    void Timer2_Timer();
    void Command6_Click();
    void Command7_Click();
    void Timer3_Timer();
    void Timer4_Timer();

    WindowLock& lock() { return lock_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool askToQuit();
    void endProgram();

    PlatformServices& platform_;
    Form1Controls c_;
    ErrorReporter errors_;
    WindowLock lock_;
    std::array<std::unique_ptr<MediaPlayer>, SlotCount> players_;
    std::array<std::unique_ptr<FileDialog>, SlotCount> dialogs_;
    SlotFileChooser fileChooser_;
    StartTimeEditor startTimeEditor_;
    std::unique_ptr<Scheduler> scheduler_;
    std::unique_ptr<ClockDisplay> clockDisplay_;
    bool ended_ = false;
};
