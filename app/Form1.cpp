#include "Form1.h"

#include "ClockDisplay.h"
#include "FileDialog.h"
#include "Form1Layout.h"
#include "LockStates.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "ProgramExit.h"
#include "Scheduler.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

namespace {

template <typename T> void nameIfQObject(T* component, const QString& name)
{
    if (auto* object = dynamic_cast<QObject*>(component))
        object->setObjectName(name);
}

} // namespace

Form1::Form1(PlatformServices& platform, QWidget* parent)
    : QWidget(parent), platform_(platform), errors_(platform.messageBox, platform.clock),
      lock_(c_, platform.messageBox, *this), fileChooser_(c_, errors_),
      startTimeEditor_(c_, platform.inputBox, platform.messageBox, errors_),
      runStop_(c_, platform.clock)
{
    buildForm1(this, c_);
    errors_.attachStatusLine(c_.StatusLine);
    for (int i = 0; i < SlotCount; ++i) {
        const auto index = std::size_t(i);
        players_[index] = platform_.makePlayer(i);
        dialogs_[index] = platform_.makeFileDialog(i);
        c_.slot[index].MediaPlayer1 = players_[index].get();
        c_.slot[index].CommonDialog1 = dialogs_[index].get();
        nameIfQObject(players_[index].get(), QStringLiteral("MediaPlayer1(%1)").arg(i));
        nameIfQObject(dialogs_[index].get(), QStringLiteral("CommonDialog1(%1)").arg(i));
    }
    connect(c_.Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    for (int i = 0; i < SlotCount; ++i) {
        const SlotControls& s = c_.slot[std::size_t(i)];
        connect(s.Command1, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        connect(s.Command2, &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
    }
    scheduler_ = std::make_unique<Scheduler>(c_, platform_.clock, errors_);
    clockDisplay_ = std::make_unique<ClockDisplay>(c_.LabNowtime, c_.timer(2), platform_.clock);
    connect(c_.timer(1), &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(c_.timer(2), &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(c_.Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(c_.Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(c_.timer(3), &QTimer::timeout, this, &Form1::Timer3_Timer);
    // When the show and the hide of the warning fall due together, the hide
    // is handled last, so the warning blinks instead of staying on.
    connect(c_.timer(4), &QTimer::timeout, this, &Form1::Timer4_Timer, Qt::QueuedConnection);
    connectPlayback();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    c_.timer(1)->start(1000);
    for (int i = 0; i < SlotCount; ++i)
        c_.StartTime[std::size_t(i)].reset();
    lock_.lock();
}

void Form1::Command8_Click()
{
    if (askToQuit())
        endProgram();
}

void Form1::Command1_Click(int index)
{
    fileChooser_.choose(index);
}

void Form1::Command2_Click(int index)
{
    startTimeEditor_.edit(index);
}

void Form1::Command6_Click()
{
    lock_.lock();
}

void Form1::Command7_Click()
{
    lock_.showPasswordDialog();
}

void Form1::Timer3_Timer()
{
    lock_.showWarning();
}

void Form1::Timer4_Timer()
{
    lock_.hideWarning();
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    const bool plainEnter = (event->key() == Qt::Key_Return && !event->modifiers()) ||
        (event->key() == Qt::Key_Enter && (event->modifiers() & ~Qt::KeypadModifier) == 0);
    if (plainEnter) {
        if (QPushButton* button = buttonForEnter(c_, focusWidget())) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    // The frame's close button and the window manager's close ask the same
    // question as "&Quit", and are refused while the window is locked.
    if (ended_ || (!isLocked(c_) && askToQuit())) {
        endProgram();
        event->accept();
        return;
    }
    event->ignore();
}

void Form1::Timer1_Timer()
{
    // Each tick re-arms the scheduling clock; after the end nothing may.
    if (!ended_)
        scheduler_->tick();
}

void Form1::Timer2_Timer()
{
    clockDisplay_->tick();
}

bool Form1::askToQuit()
{
    const MessageAnswer answer = platform_.messageBox.show(
        QStringLiteral("Are You Sure To Exit?     Waring!!!  All Data Will Be Lost"),
        QStringLiteral("Validate"), MessageIcon::Exclamation, MessageButtons::OkCancel);
    return answer == MessageAnswer::Ok;
}

void Form1::endProgram()
{
    if (ended_)
        return;
    ended_ = true;
    // No tick may run once the operator has confirmed the end.
    for (QTimer* timer : c_.timers)
        timer->stop();
    platform_.programExit.exitNow();
}
