#include "app/MainWindow.h"

#include "app/AccessibleRoles.h"
#include "app/MainWindowLayout.h"
#include "lock/LockStates.h"
#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/MediaPlayer.h"
#include "platform/MessageBox.h"
#include "platform/ProgramExit.h"
#include "playback/SoundProblems.h"
#include "schedule/ClockDisplay.h"
#include "schedule/ClockHealth.h"
#include "schedule/NextStart.h"
#include "schedule/ReadinessChecks.h"
#include "schedule/Scheduler.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

template <typename T, typename Make>
std::array<std::unique_ptr<T>, SlotCount> makeForEachSlot(const Make& make)
{
    std::array<std::unique_ptr<T>, SlotCount> made;
    for (int i = 0; i < SlotCount; ++i)
        made[std::size_t(i)] = make(i);
    return made;
}

template <typename T>
std::array<T*, SlotCount> pointersTo(const std::array<std::unique_ptr<T>, SlotCount>& owned)
{
    std::array<T*, SlotCount> pointers{};
    for (std::size_t i = 0; i < owned.size(); ++i)
        pointers[i] = owned[i].get();
    return pointers;
}

} // namespace

MainWindow::MainWindow(PlatformServices& platform, QWidget* parent)
    : QWidget(parent), platform_(platform), errors_(platform.messageBox, platform.clock),
      lock_(c_, timetable_, platform.messageBox, *this),
      ownPlayers_(makeForEachSlot<MediaPlayer>(platform.makePlayer)),
      ownDialogs_(makeForEachSlot<FileDialog>(platform.makeFileDialog)),
      players_(pointersTo(ownPlayers_)), dialogs_(pointersTo(ownDialogs_)),
      starter_(timetable_, players_, platform.mixerHold),
      fileChooser_(timetable_, players_, dialogs_, errors_),
      startTimeEditor_(timetable_, platform.inputBox, platform.messageBox, errors_),
      runStop_(timetable_, starter_, platform.clock, errors_)
{
    installAccessibleRoles();
    buildMainWindow(this, c_);
    view_ = std::make_unique<TimetableView>(c_, timetable_);
    errors_.attachStatusLine(c_.statusLine);
    // The line below the timetable is always shown, and says what comes next.
    errors_.attachAnnouncer(c_.nextStartLabel);
    nameSlotComponents(players_, dialogs_);
    connect(c_.quitButton, &QPushButton::clicked, this, &MainWindow::onQuitClicked);
    for (int i = 0; i < SlotCount; ++i) {
        const SlotControls& s = c_.slot(i);
        connect(
            s.chooseFileButton, &QPushButton::clicked, this, [this, i] { onChooseFileClicked(i); });
        connect(s.setTimeButton, &QPushButton::clicked, this, [this, i] { onSetTimeClicked(i); });
    }
    scheduler_ = std::make_unique<Scheduler>(timetable_, starter_, c_.schedulerTimer,
        platform_.clock, errors_, platform_.soundOutputCheck);
    clockDisplay_ = std::make_unique<ClockDisplay>(c_.clockLabel, c_.clockTimer, platform_.clock);
    // After the file buttons are connected, so a new choice is made before
    // the checks look at it.
    readiness_ = std::make_unique<ReadinessChecks>(
        timetable_, platform_.clock, errors_, platform_.soundOutputCheck, platform_.soundFileCheck);
    clockHealth_ = std::make_unique<ClockHealth>(platform_.clock, platform_.clockSync, errors_);
    connect(c_.schedulerTimer, &QTimer::timeout, this, &MainWindow::onScheduleTick);
    connect(c_.clockTimer, &QTimer::timeout, this, &MainWindow::onClockTick);
    connect(c_.lockButton, &QPushButton::clicked, this, &MainWindow::onLockClicked);
    connect(c_.unlockButton, &QPushButton::clicked, this, &MainWindow::onUnlockClicked);
    connect(c_.warningShowTimer, &QTimer::timeout, this, &MainWindow::onShowWarningTick);
    // When the show and the hide of the warning fall due together, the hide
    // is handled last, so the warning blinks instead of staying on.
    connect(c_.warningHideTimer, &QTimer::timeout, this, &MainWindow::onHideWarningTick,
        Qt::QueuedConnection);
    connectPlayback();
}

MainWindow::~MainWindow() = default;

void MainWindow::onLoad()
{
    c_.schedulerTimer->start();
    lock_.lock();
}

void MainWindow::onQuitClicked()
{
    if (askToQuit())
        endProgram();
}

void MainWindow::onChooseFileClicked(int slot)
{
    fileChooser_.choose(slot);
    scheduler_->armNextSecond();
}

void MainWindow::onSetTimeClicked(int slot)
{
    startTimeEditor_.edit(slot);
    scheduler_->armNextSecond();
}

void MainWindow::onLockClicked()
{
    lock_.lock();
}

void MainWindow::onUnlockClicked()
{
    lock_.showPasswordDialog();
}

void MainWindow::onShowWarningTick()
{
    lock_.showWarning();
}

void MainWindow::onHideWarningTick()
{
    lock_.hideWarning();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    const bool plainEnter = (event->key() == Qt::Key_Return && !event->modifiers()) ||
        (event->key() == Qt::Key_Enter && (event->modifiers() & ~Qt::KeypadModifier) == 0);
    if (plainEnter) {
        if (QPushButton* button = buttonForEnter(c_, timetable_, focusWidget())) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The frame's close button and the window manager's close ask the same
    // question as "&Quit", and are refused while the window is locked.
    if (timetable_.ended() || (!timetable_.locked() && askToQuit())) {
        endProgram();
        event->accept();
        return;
    }
    event->ignore();
}

void MainWindow::onScheduleTick()
{
    // Each tick re-arms the scheduling clock; after the end nothing may.
    if (timetable_.ended())
        return;
    scheduler_->tick();
    readiness_->tick();
    clockHealth_->tick();
    c_.nextStartLabel->setText(nextStartText(timetable_, platform_.clock.now()));
    reportSoundProblems(players_, errors_);
}

void MainWindow::onClockTick()
{
    clockDisplay_->tick();
}

bool MainWindow::askToQuit()
{
    const MessageAnswer answer = platform_.messageBox.show(
        QStringLiteral("Are You Sure To Exit?     Waring!!!  All Data Will Be Lost"),
        QStringLiteral("Validate"), MessageIcon::Exclamation, MessageButtons::OkCancel);
    return answer == MessageAnswer::Ok;
}

void MainWindow::endProgram()
{
    if (timetable_.ended())
        return;
    timetable_.end();
    // No tick may run once the operator has confirmed the end.
    for (QTimer* timer : c_.allTimers())
        timer->stop();
    scheduler_->disarm();
    platform_.programExit.exitNow();
}
