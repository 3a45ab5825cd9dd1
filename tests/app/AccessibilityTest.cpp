#include "AccessibilityEvents.h"
#include "FormHarness.h"
#include "lock/PasswordDialog.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

TEST(Accessibility, TheWindowIsAFrameAndTheStatusLineAnAlertThatStillAcknowledges)
{
    FormHarness h;
    EXPECT_EQ(accessible(&h.form())->role(), QAccessible::Window);

    h.form().errors().fromTick(2, QStringLiteral("bell.mp3: no sound output"));
    QAccessibleInterface* line = accessible(h.c().statusLine);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->role(), QAccessible::AlertMessage);
    EXPECT_EQ(line->text(QAccessible::Name), h.c().statusLine->text());
    ASSERT_NE(line->actionInterface(), nullptr);
    line->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(h.c().statusLine->isVisible()) << "pressed, the error is acknowledged";
}

TEST(Accessibility, ANewProblemIsAlertedOnceWithoutTakingTheFocus)
{
    FormHarness h;
    h.unlock();
    h.form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h.form()));
    h.c().lockButton->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), h.c().lockButton);
    AccessibilityEvents events;
    ErrorReporter& errors = h.form().errors();
    QPushButton* line = h.c().statusLine;

    errors.fromTick(3, QStringLiteral("bell.mp3: no sound output"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 1);

    errors.warn(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is no longer there (in 58 s)"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 2);
    // Its countdown brought up to date is not news.
    errors.warn(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is no longer there (in 57 s)"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 2);

    errors.clearWarning(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is there again"));
    errors.warn(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is no longer there (in 9 s)"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 3);
    EXPECT_EQ(QApplication::focusWidget(), h.c().lockButton);
}

TEST(Accessibility, EverySlotControlNamesItsSlotAndWhatItHoldsAsTheSlotChanges)
{
    FormHarness h;
    h.unlock();
    const auto described = [&](QWidget* w) {
        return accessible(w)->text(QAccessible::Description);
    };
    const auto fileHolders = [&](int i) {
        const SlotControls& s = h.slot(i);
        return std::vector<QWidget*>{
            s.fileNameLabel, s.chooseFileButton, s.runButton, s.stopButton};
    };
    for (int i = 0; i < SlotCount; ++i) {
        const QString row = QStringLiteral("Slot %1, ").arg(i + 1);
        for (QWidget* w : fileHolders(i))
            EXPECT_EQ(described(w), row + QStringLiteral("no file"))
                << w->objectName().toStdString();
        EXPECT_EQ(described(h.slot(i).setTimeButton), row + QStringLiteral("no start time"));
        EXPECT_EQ(described(h.slot(i).elapsedLabel), row + QStringLiteral("elapsed"));
        EXPECT_EQ(described(h.slot(i).totalLabel), row + QStringLiteral("total"));
    }

    h.dialog(3).chooseNext(QStringLiteral("/sound/bell.mp3"));
    FormHarness::click(h.slot(3).chooseFileButton);
    h.inputBox.answerNext(QStringLiteral("10:00"));
    FormHarness::click(h.slot(3).setTimeButton);
    for (QWidget* w : fileHolders(3))
        EXPECT_EQ(described(w), QStringLiteral("Slot 4, bell")) << w->objectName().toStdString();
    EXPECT_EQ(described(h.slot(3).startTimeLabel), QStringLiteral("Slot 4, start 10:00:00"));
    EXPECT_EQ(described(h.slot(3).setTimeButton), QStringLiteral("Slot 4, start 10:00:00"));
    EXPECT_EQ(described(h.slot(2).chooseFileButton), QStringLiteral("Slot 3, no file"));
    // The names stay the captions external tools find the controls by.
    EXPECT_EQ(accessible(h.slot(3).stopButton)->text(QAccessible::Name), QStringLiteral("Stop"));
    EXPECT_EQ(accessible(h.slot(3).fileNameLabel)->text(QAccessible::Name), QStringLiteral("bell"));
}

TEST(Accessibility, AStartByTheClockIsAnnouncedWithoutTakingTheFocus)
{
    FormHarness h;
    h.giveFile(3, QStringLiteral("/sounds/bell.mp3"));
    h.enterStartTime(3, QTime(10, 0, 0));
    h.clock.setTime(QTime(9, 59, 59, 2));
    FormHarness::tick(h.c().schedulerTimer);
    AccessibilityEvents events;
    QWidget* focused = QApplication::focusWidget();

    h.clock.setTime(QTime(10, 0, 0, 2));
    FormHarness::tick(h.c().schedulerTimer);
    ASSERT_TRUE(h.player(3).isPlaying());
    EXPECT_EQ(events.count(h.c().nextStartLabel, QAccessible::Alert), 1);
    EXPECT_EQ(accessible(h.c().nextStartLabel)->text(QAccessible::Description),
        QStringLiteral("Slot 4: started bell at 10:00:00"));
    EXPECT_EQ(QApplication::focusWidget(), focused);
    // The seconds that follow start nothing and say nothing.
    h.clock.setTime(QTime(10, 0, 1, 2));
    FormHarness::tick(h.c().schedulerTimer);
    EXPECT_EQ(events.count(h.c().nextStartLabel, QAccessible::Alert), 1);
}

TEST(Accessibility, ThePasswordBoxesAreNamedByTheirCaptions)
{
    FormHarness h;
    FormHarness::click(h.c().unlockButton);
    PasswordDialog* dialog = h.passwordDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(
        accessible(dialog->findChild<QLineEdit*>(QStringLiteral("Text1")))->text(QAccessible::Name),
        QStringLiteral("Name:"));
    EXPECT_EQ(
        accessible(dialog->findChild<QLineEdit*>(QStringLiteral("Text2")))->text(QAccessible::Name),
        QStringLiteral("PassWord:"));
}
