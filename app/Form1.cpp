#include "Form1.h"

#include "FileDialog.h"
#include "Form1Layout.h"
#include "MediaPlayer.h"
#include "MessageBox.h"
#include "ProgramExit.h"

#include <QCloseEvent>
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
    : QWidget(parent), platform_(platform), errors_(platform.messageBox, platform.clock)
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
    connectPlayback();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    c_.timer(1)->start(1000);
    for (int i = 0; i < SlotCount; ++i) {
        SlotControls& s = c_.slot[std::size_t(i)];
        c_.StartTime[std::size_t(i)].reset();
        for (QPushButton* b : {s.Command1, s.Command2, s.Command3, s.Command5})
            b->setEnabled(false);
    }
    c_.Command6->setEnabled(false);
    c_.timer(3)->start();
    c_.timer(4)->start();
    c_.Command8->setEnabled(false);
}

void Form1::Command8_Click()
{
    if (askToQuit())
        endProgram();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // The frame's close button and the window manager's close ask the same
    // question as "&Quit", and are refused while the window is locked.
    const bool locked = c_.Command7->isEnabled();
    if (ended_ || (!locked && askToQuit())) {
        endProgram();
        event->accept();
        return;
    }
    event->ignore();
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
