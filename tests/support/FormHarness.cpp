#include "FormHarness.h"

#include "lock/PasswordDialog.h"
#include "schedule/ReadinessChecks.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include <gtest/gtest.h>

FormHarness::FormHarness(
    Start start, PlayerFactory makePlayer, MixerHold* mixer, SoundOutputCheck* output)
{
    if (!makePlayer)
        makePlayer = [this](int slot) -> std::unique_ptr<MediaPlayer> {
            auto player = std::make_unique<FakeMediaPlayer>(slot, journal);
            players_[std::size_t(slot)] = player.get();
            return player;
        };
    services_ = std::make_unique<PlatformServices>(PlatformServices{
        clock,
        messageBox,
        inputBox,
        programExit,
        std::move(makePlayer),
        mixer != nullptr ? *mixer : mixerHold,
        [this](int slot) {
            auto dialog = std::make_unique<FakeFileDialog>();
            dialogs_[std::size_t(slot)] = dialog.get();
            return dialog;
        },
        output != nullptr ? *output : outputCheck,
        fileCheck,
        clockSync,
    });
    form_ = std::make_unique<MainWindow>(*services_);
    if (start == Start::Loaded)
        form_->onLoad();
    form_->show();
}

FormHarness::~FormHarness() = default;

void FormHarness::click(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

void FormHarness::tick(QTimer* timer)
{
    if (!timer->isActive())
        return;
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
}

void FormHarness::giveFile(int slot, const QString& path)
{
    whileUnlocked([&] {
        dialog(slot).chooseNext(path);
        click(this->slot(slot).chooseFileButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return timetable().slot(slot).path == path; }, 10000))
            << "the player did not take " << path.toStdString();
    });
}

void FormHarness::enterStartTime(int slot, QTime time)
{
    whileUnlocked([&] {
        ASSERT_TRUE(this->slot(slot).setTimeButton->isEnabled())
            << "slot " << slot << " has no file";
        inputBox.answerNext(time.toString(QStringLiteral("HH:mm:ss")));
        click(this->slot(slot).setTimeButton);
    });
}

void FormHarness::whileUnlocked(const std::function<void()>& steps)
{
    const bool wasLocked = timetable().locked();
    if (wasLocked)
        unlock();
    steps();
    if (wasLocked)
        click(c().lockButton);
}

void FormHarness::type(QWidget* widget, const QString& text)
{
    // QTest::keyClicks sends Latin-1 only.
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(widget, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void FormHarness::finishChecks()
{
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form_->readiness().checking(); }, 10000))
        << "a check made ahead of a start did not answer";
}

void FormHarness::unlock()
{
    click(c().unlockButton);
    PasswordDialog* dialog = passwordDialog();
    ASSERT_NE(dialog, nullptr);
    type(dialog->findChild<QLineEdit*>(QStringLiteral("Text1")), QStringLiteral("\u9752\u77F3"));
    type(dialog->findChild<QLineEdit*>(QStringLiteral("Text2")), QStringLiteral("52081739"));
    click(dialog->findChild<QPushButton*>(QStringLiteral("Command1")));
    ASSERT_FALSE(c().unlockButton->isEnabled()) << "the right pair did not unlock the window";
}

PasswordDialog* FormHarness::passwordDialog()
{
    return form_->lock().passwordDialog();
}
