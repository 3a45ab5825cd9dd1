#include "lock/LockStates.h"
#include "FormHarness.h"
#include "window/LabelColour.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<QPushButton*> enabledButtons(FormHarness& h)
{
    std::set<QPushButton*> enabled;
    for (QPushButton* b : h.form().findChildren<QPushButton*>())
        if (b->isEnabled() && b != h.c().statusLine)
            enabled.insert(b);
    return enabled;
}

void expectLocked(FormHarness& h)
{
    EXPECT_EQ(enabledButtons(h), std::set<QPushButton*>{h.c().unlockButton});
    EXPECT_TRUE(h.c().warningShowTimer->isActive());
    EXPECT_TRUE(h.c().warningHideTimer->isActive());
}

// What the unlocked window lets the operator press, given the slots that
// have a file.
std::set<QPushButton*> unlockedButtons(FormHarness& h, const std::set<int>& slotsWithFile)
{
    std::set<QPushButton*> expected{h.c().lockButton, h.c().quitButton};
    for (int i = 0; i < SlotCount; ++i) {
        const SlotControls& s = h.slot(i);
        expected.insert(s.chooseFileButton);
        if (slotsWithFile.count(i))
            expected.insert({s.setTimeButton, s.runButton, s.stopButton});
    }
    return expected;
}

void deliverQueuedTicks(FormHarness& h)
{
    QCoreApplication::sendPostedEvents(&h.form(), QEvent::MetaCall);
}

// A tick of the show or the hide timer alone, its handler run.
void tickAlone(FormHarness& h, QTimer* timer)
{
    FormHarness::tick(timer);
    deliverQueuedTicks(h);
}

} // namespace

TEST(LockStates, StartUpLeavesOnlyUnlockUsableAndTheWarningBlinking)
{
    FormHarness h;
    expectLocked(h);
    EXPECT_TRUE(h.timetable().locked());
    EXPECT_EQ(h.c().warningShowTimer->interval(), 500);
    EXPECT_EQ(h.c().warningHideTimer->interval(), 1000);
}

TEST(LockStates, UnlockWithoutFilesEnablesOnlySelectLockAndQuit)
{
    FormHarness h;
    h.unlock();
    EXPECT_EQ(enabledButtons(h), unlockedButtons(h, {}));
    EXPECT_FALSE(h.timetable().locked());
    EXPECT_FALSE(h.c().warningShowTimer->isActive());
    EXPECT_FALSE(h.c().warningHideTimer->isActive());
    EXPECT_FALSE(h.c().lockWarning->isVisible());
    EXPECT_EQ(h.form().focusWidget(), h.c().lockButton);
}

TEST(LockStates, UnlockEnablesAllFourButtonsOfEverySlotWithAFile)
{
    FormHarness h;
    h.unlock();
    h.giveFile(0, QStringLiteral("/sounds/first bell.mp3"));
    h.giveFile(3, QStringLiteral("/sounds/break.mp3"));
    h.giveFile(9, QStringLiteral("/sounds/last.mp3"));
    // A slot that plays is as usable as one that does not.
    FormHarness::click(h.slot(3).runButton);
    ASSERT_TRUE(h.player(3).isPlaying());
    FormHarness::click(h.c().lockButton);
    h.unlock();
    EXPECT_EQ(enabledButtons(h), unlockedButtons(h, {0, 3, 9}));
}

TEST(LockStates, LockDisablesEverySlotButtonAndQuitAndRestartsTheBlink)
{
    FormHarness h;
    h.giveFile(5, QStringLiteral("/sounds/noon.mp3"));
    h.unlock();
    FormHarness::click(h.c().lockButton);
    expectLocked(h);
    // Locked again, the same pair unlocks again.
    h.unlock();
    EXPECT_EQ(enabledButtons(h), unlockedButtons(h, {5}));
}

TEST(LockStates, LockingWhileASlotPlaysLeavesTheSoundAndItsProgressGoing)
{
    FormHarness h;
    h.unlock();
    h.dialog(4).chooseNext(QStringLiteral("/sounds/assembly.mp3"));
    FormHarness::click(h.slot(4).chooseFileButton);
    h.enterStartTime(4, QTime(8, 15));
    FormHarness::click(h.slot(4).runButton);
    h.player(4).setPosition(12.5);
    FormHarness::tick(h.c().progressTimer(4));
    h.journal.clear();

    FormHarness::click(h.c().lockButton);

    expectLocked(h);
    EXPECT_TRUE(h.player(4).isPlaying());
    EXPECT_TRUE(h.journal.isEmpty()) << h.journal.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(h.c().progressTimer(4)->isActive());
    EXPECT_TRUE(h.c().schedulerTimer->isActive());
    EXPECT_TRUE(h.c().clockTimer->isActive());
    EXPECT_EQ(h.slot(4).runButton->text(), QStringLiteral("&Pause"));
    EXPECT_EQ(LabelColour::of(h.slot(4).fileNameLabel), LabelColour::Red);
    EXPECT_EQ(h.slot(4).elapsedLabel->text(), QStringLiteral("00:12"));
    EXPECT_EQ(h.timetable().slot(4).startTime, QTime(8, 15));
}

TEST(LockWarning, EachTickSetsTheVisibilityOutright)
{
    FormHarness h;
    EXPECT_FALSE(h.c().lockWarning->isVisible()) << "hidden until the first show tick";
    // Ticks as they fall due after locking: 500 ms show, 1000 ms show and
    // hide, 1500 ms show, 2000 ms show and hide.
    tickAlone(h, h.c().warningShowTimer);
    EXPECT_TRUE(h.c().lockWarning->isVisible());
    tickAlone(h, h.c().warningShowTimer);
    EXPECT_TRUE(h.c().lockWarning->isVisible()) << "a show tick never toggles";
    tickAlone(h, h.c().warningHideTimer);
    EXPECT_FALSE(h.c().lockWarning->isVisible());
    tickAlone(h, h.c().warningHideTimer);
    EXPECT_FALSE(h.c().lockWarning->isVisible()) << "a hide tick never toggles";
    tickAlone(h, h.c().warningShowTimer);
    EXPECT_TRUE(h.c().lockWarning->isVisible());
}

TEST(LockWarning, WhenShowAndHideFallDueTogetherTheWarningIsHidden)
{
    FormHarness h;
    // The half second: only the show falls due.
    FormHarness::tick(h.c().warningShowTimer);
    deliverQueuedTicks(h);
    EXPECT_TRUE(h.c().lockWarning->isVisible());
    // The full second, in either order of the two ticks.
    FormHarness::tick(h.c().warningShowTimer);
    FormHarness::tick(h.c().warningHideTimer);
    deliverQueuedTicks(h);
    EXPECT_FALSE(h.c().lockWarning->isVisible());
    FormHarness::tick(h.c().warningShowTimer);
    deliverQueuedTicks(h);
    ASSERT_TRUE(h.c().lockWarning->isVisible());
    FormHarness::tick(h.c().warningHideTimer);
    FormHarness::tick(h.c().warningShowTimer);
    deliverQueuedTicks(h);
    EXPECT_FALSE(h.c().lockWarning->isVisible());
}

TEST(LockWarning, UnlockHidesTheWarningAtOnceEvenRightAfterItWasShown)
{
    FormHarness h;
    tickAlone(h, h.c().warningShowTimer);
    ASSERT_TRUE(h.c().lockWarning->isVisible());
    h.unlock();
    EXPECT_FALSE(h.c().lockWarning->isVisible());
    EXPECT_FALSE(h.c().warningShowTimer->isActive());
}

TEST(DefaultButton, EnterRightAfterAnUnlockLocksAgain)
{
    FormHarness h;
    h.unlock();
    QWidget* focused = h.form().focusWidget();
    ASSERT_EQ(focused, h.c().lockButton);
    QTest::keyClick(focused, Qt::Key_Return);
    expectLocked(h);
}

TEST(DefaultButton, EnterOnTheKeypadAlsoPressesLock)
{
    FormHarness h;
    h.unlock();
    QTest::keyClick(&h.form(), Qt::Key_Enter, Qt::KeypadModifier);
    expectLocked(h);
}

TEST(DefaultButton, EnterAndSpaceOnAnotherFocusedButtonPressThatButton)
{
    FormHarness h;
    h.unlock();
    h.c().quitButton->setFocus();
    h.messageBox.answerNext(MessageAnswer::Cancel);
    h.messageBox.answerNext(MessageAnswer::Cancel);
    QTest::keyClick(h.c().quitButton, Qt::Key_Return);
    QTest::keyClick(h.c().quitButton, Qt::Key_Space);
    ASSERT_EQ(h.messageBox.shown().size(), 2u);
    EXPECT_EQ(h.messageBox.shown().back().title, QStringLiteral("Validate"));
    EXPECT_FALSE(h.timetable().locked());
}

TEST(DefaultButton, EnterPressesNothingWhileLockedWithoutAFocusedButton)
{
    FormHarness h;
    h.form().setFocus();
    QTest::keyClick(&h.form(), Qt::Key_Return);
    expectLocked(h);
    EXPECT_EQ(h.passwordDialog(), nullptr);
    EXPECT_TRUE(h.messageBox.shown().empty());
}
