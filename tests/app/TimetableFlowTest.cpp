#include "FormHarness.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

// The operator's whole road to a bell: unlock, choose a file, enter a time,
// lock, and the clock starts the slot at that second.

namespace {

void tickAt(FormHarness& h, QTime when)
{
    h.clock.set(QDateTime(h.clock.now().date(), when));
    FormHarness::tick(h.c().schedulerTimer);
}

void prepareSlot(FormHarness& h, int slot, const QString& path, const QString& timeEntry)
{
    h.dialog(slot).chooseNext(path);
    FormHarness::click(h.slot(slot).chooseFileButton);
    h.inputBox.answerNext(timeEntry);
    FormHarness::click(h.slot(slot).setTimeButton);
}

} // namespace

TEST(TimetableFlow, AnEnteredTimeStartsTheChosenFileAtThatSecondWhileLocked)
{
    FormHarness h;
    h.unlock();
    prepareSlot(h, 2, QStringLiteral("/home/op/铃声/课间 铃.mp3"), QStringLiteral("下午7:12"));
    EXPECT_EQ(h.slot(2).fileNameLabel->text(), QStringLiteral("课间 铃"));
    EXPECT_EQ(h.slot(2).startTimeLabel->text(), QStringLiteral("19:12:00"));
    FormHarness::click(h.c().lockButton);
    ASSERT_TRUE(h.c().unlockButton->isEnabled());

    tickAt(h, QTime(19, 11, 59, 3));
    EXPECT_FALSE(h.player(2).isPlaying());
    tickAt(h, QTime(19, 12, 0, 3));
    EXPECT_TRUE(h.player(2).isPlaying());
    EXPECT_EQ(h.player(2).file(), QStringLiteral("/home/op/铃声/课间 铃.mp3"));
}

TEST(TimetableFlow, ARefusedOrCancelledEntryKeepsTheTimeInForce)
{
    FormHarness h;
    h.unlock();
    prepareSlot(h, 7, QStringLiteral("/sounds/shift.mp3"), QStringLiteral("06:00"));

    h.inputBox.answerNext(QStringLiteral("25:00"));
    h.messageBox.answerNext(MessageAnswer::Ok);
    FormHarness::click(h.slot(7).setTimeButton);
    h.inputBox.cancelNext();
    FormHarness::click(h.slot(7).setTimeButton);
    EXPECT_EQ(h.slot(7).startTimeLabel->text(), QStringLiteral("6:00:00"));

    tickAt(h, QTime(5, 59, 59, 2));
    tickAt(h, QTime(6, 0, 0, 2));
    EXPECT_TRUE(h.player(7).isPlaying());
}

TEST(TimetableFlow, AnEmptyEntryClearsTheTimeAndTheSlotNoLongerStarts)
{
    FormHarness h;
    h.unlock();
    prepareSlot(h, 4, QStringLiteral("/sounds/noon.mp3"), QStringLiteral("12:00:00"));
    h.inputBox.answerNext(QString());
    FormHarness::click(h.slot(4).setTimeButton);
    EXPECT_EQ(h.slot(4).startTimeLabel->text(), QStringLiteral("- - : - - : - -"));

    tickAt(h, QTime(11, 59, 59, 2));
    tickAt(h, QTime(12, 0, 0, 2));
    EXPECT_FALSE(h.player(4).isPlaying());
}
