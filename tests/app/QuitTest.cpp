#include "FormHarness.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString quitQuestion =
    QStringLiteral("Are You Sure To Exit?     Waring!!!  All Data Will Be Lost");

bool anyTimerActive(FormHarness& h)
{
    for (QTimer* t : h.c().allTimers())
        if (t->isActive())
            return true;
    return false;
}

} // namespace

TEST(Quit, AsksTheWarningQuestion)
{
    FormHarness h;
    h.unlock();
    h.messageBox.answerNext(MessageAnswer::Cancel);
    FormHarness::click(h.c().quitButton);
    ASSERT_EQ(h.messageBox.shown().size(), 1u);
    const auto& box = h.messageBox.shown().front();
    EXPECT_EQ(box.text, quitQuestion);
    EXPECT_EQ(box.title, QStringLiteral("Validate"));
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_EQ(box.buttons, MessageButtons::OkCancel);
}

TEST(Quit, OkEndsTheProgramAndNoTickRunsAfterwards)
{
    FormHarness h;
    h.unlock();
    h.giveFile(3, QStringLiteral("/tmp/bell.mp3"));
    FormHarness::click(h.slot(3).runButton);
    ASSERT_TRUE(h.c().progressTimer(3)->isActive());
    h.messageBox.answerNext(MessageAnswer::Ok);
    FormHarness::click(h.c().quitButton);
    EXPECT_EQ(h.programExit.calls(), 1);
    EXPECT_FALSE(anyTimerActive(h));
}

TEST(Quit, CancelLeavesTimersAndPlayingSlotsAlone)
{
    FormHarness h;
    h.unlock();
    h.giveFile(2, QStringLiteral("/tmp/bell.mp3"));
    FormHarness::click(h.slot(2).runButton);
    h.journal.clear();
    h.messageBox.answerNext(MessageAnswer::Cancel);
    FormHarness::click(h.c().quitButton);
    EXPECT_EQ(h.programExit.calls(), 0);
    EXPECT_TRUE(h.player(2).isPlaying());
    EXPECT_TRUE(h.journal.isEmpty());
    EXPECT_TRUE(h.c().schedulerTimer->isActive());
    EXPECT_TRUE(h.c().progressTimer(2)->isActive());
}

TEST(Quit, ClosingTheBoxAnyOtherWayChangesNothing)
{
    FormHarness h;
    h.unlock();
    h.messageBox.answerNext(MessageAnswer::Closed);
    FormHarness::click(h.c().quitButton);
    EXPECT_EQ(h.programExit.calls(), 0);
    EXPECT_TRUE(h.c().schedulerTimer->isActive());
}

TEST(TitleBarClose, IsRefusedWhileLocked)
{
    FormHarness h;
    EXPECT_FALSE(h.form().close());
    EXPECT_TRUE(h.messageBox.shown().empty());
    EXPECT_EQ(h.programExit.calls(), 0);
    EXPECT_TRUE(h.form().isVisible());
}

TEST(TitleBarClose, AsksWhileUnlockedAndEndsOnlyOnOk)
{
    FormHarness h;
    h.unlock();
    h.messageBox.answerNext(MessageAnswer::Cancel);
    EXPECT_FALSE(h.form().close());
    EXPECT_EQ(h.programExit.calls(), 0);

    h.messageBox.answerNext(MessageAnswer::Ok);
    EXPECT_TRUE(h.form().close());
    ASSERT_EQ(h.messageBox.shown().size(), 2u);
    EXPECT_EQ(h.messageBox.shown().back().text, quitQuestion);
    EXPECT_EQ(h.programExit.calls(), 1);
    EXPECT_FALSE(anyTimerActive(h));
}
