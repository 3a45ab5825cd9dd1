#pragma once

#include "app/PlatformServices.h"
#include "editing/SlotFileChooser.h"
#include "editing/StartTimeEditor.h"
#include "errors/ErrorReporter.h"
#include "lock/WindowLock.h"
#include "model/Timetable.h"
#include "playback/RunStopButtons.h"
#include "sounding/SlotPlayers.h"
#include "sounding/SlotStarter.h"
#include "window/TimetableView.h"
#include "window/WindowControls.h"

#include <QWidget>

#include <array>
#include <memory>

class ClockDisplay;
class ClockHealth;
class ReadinessChecks;
class Scheduler;

// The main window: the ten-slot timetable, the clock, the lock and the quit
// button. It owns the timetable, its view, the slots' players and file
// dialogs, and routes every click and timer tick to the handler of its area.
// GUI thread only.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(PlatformServices& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    WindowControls& controls() { return c_; }
    Timetable& timetable() { return timetable_; }
    const SlotPlayers& players() const { return players_; }
    ErrorReporter& errors() { return errors_; }

    WindowLock& lock() { return lock_; }
    ReadinessChecks& readiness() { return *readiness_; }

    // Start-up and quit. onLoad is called once, right after the window is
    // created and before any tick.
    void onLoad();
    void onQuitClicked();
    // Ends the program as a confirmed "&Quit" does, without asking: the
    // timers stop and nothing placed ahead may sound. Once only.
    void endProgram();

    // The clock display and the scheduled start.
    void onScheduleTick();
    void onClockTick();

    // Choosing a slot's file and setting its start time.
    void onChooseFileClicked(int slot);
    void onSetTimeClicked(int slot);

    // Lock, unlock and the blinking warning.
    void onLockClicked();
    void onUnlockClicked();
    void onShowWarningTick();
    void onHideWarningTick();

    // Run, pause and stop by hand, and the ten progress displays, which all
    // share one routine taking the slot index.
    void onRunClicked(int slot);
    void onStopClicked(int slot);
    void onProgressTick(int slot);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool askToQuit();
    void connectPlayback();

    PlatformServices& platform_;
    Timetable timetable_;
    WindowControls c_;
    ErrorReporter errors_;
    WindowLock lock_;
    std::array<std::unique_ptr<MediaPlayer>, SlotCount> ownPlayers_;
    std::array<std::unique_ptr<FileDialog>, SlotCount> ownDialogs_;
    SlotPlayers players_{};
    std::array<FileDialog*, SlotCount> dialogs_{};
    std::unique_ptr<TimetableView> view_;
    SlotStarter starter_;
    SlotFileChooser fileChooser_;
    StartTimeEditor startTimeEditor_;
    RunStopButtons runStop_;
    // These take controls at construction, so they come after the layout.
    std::unique_ptr<Scheduler> scheduler_;
    std::unique_ptr<ClockDisplay> clockDisplay_;
    std::unique_ptr<ReadinessChecks> readiness_;
    std::unique_ptr<ClockHealth> clockHealth_;
};
