#include "ScheduleSteps.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QDate Today(2026, 12, 7);

std::vector<int> armedSlots(FormHarness& h, QTime second)
{
    std::vector<int> armed;
    for (int i = 0; i < SlotCount; ++i)
        if (h.player(i).armedFor())
            armed.push_back(h.player(i).armedFor() == QDateTime(Today, second) ? i : -1 - i);
    return armed;
}

} // namespace

TEST(StartAhead, TheTickBeforeASecondPlacesTheLastSlotDueInItAndTheNextTickWithdrawsIt)
{
    FormHarness h;
    for (int i : {7, 1, 4})
        giveSlot(h, i, QStringLiteral("slot%1.mp3").arg(i), QTime(12, 0, 0));
    giveSlot(h, 2, QStringLiteral("later.mp3"), QTime(12, 0, 2));
    tickAt(h, QTime(11, 59, 59, 3));
    EXPECT_EQ(armedSlots(h, QTime(12, 0, 0)), std::vector<int>{7});

    tickAt(h, QTime(12, 0, 0, 3));
    EXPECT_TRUE(h.player(7).isPlaying());
    EXPECT_TRUE(armedSlots(h, QTime(12, 0, 1)).empty());
    // A tick too late to place the start ahead leaves it to the tick, as
    // before, and places the next second's.
    giveSlot(h, 4, QStringLiteral("slot4.mp3"), QTime(12, 0, 4));
    tickAt(h, QTime(12, 0, 3, 900));
    EXPECT_TRUE(h.player(2).isPlaying());
    EXPECT_EQ(armedSlots(h, QTime(12, 0, 4)), std::vector<int>{4});
}

TEST(StartAhead, AnEditInTheLastSecondAClockChangeAndTheEndPlaceItAgainOrWithdrawIt)
{
    FormHarness h;
    h.unlock();
    giveSlot(h, 3, QStringLiteral("bell.mp3"), QTime(10, 0, 0));
    giveSlot(h, 5, QStringLiteral("gong.mp3"), QTime(9, 0, 0));
    tickAt(h, QTime(9, 59, 59, 2));
    ASSERT_EQ(armedSlots(h, QTime(10, 0, 0)), std::vector<int>{3});

    h.clock.setTime(QTime(9, 59, 59, 900));
    h.inputBox.answerNext(QStringLiteral("10:00:05"));
    FormHarness::click(h.slot(3).setTimeButton);
    EXPECT_TRUE(armedSlots(h, QTime(10, 0, 0)).empty()) << "a new time";

    h.inputBox.answerNext(QStringLiteral("10:00:00"));
    FormHarness::click(h.slot(5).setTimeButton);
    EXPECT_EQ(armedSlots(h, QTime(10, 0, 0)), std::vector<int>{5});
    // Opening a file drops what the player had placed, so placing it again
    // is the window's doing.
    h.dialog(5).chooseNext(QStringLiteral("/sounds/other.mp3"));
    FormHarness::click(h.slot(5).chooseFileButton);
    EXPECT_EQ(h.player(5).file(), QStringLiteral("/sounds/other.mp3"));
    EXPECT_EQ(armedSlots(h, QTime(10, 0, 0)), std::vector<int>{5}) << "a new file";
    FormHarness::click(h.slot(3).runButton);
    EXPECT_TRUE(h.player(3).isPlaying());
    EXPECT_EQ(armedSlots(h, QTime(10, 0, 0)), std::vector<int>{5}) << "Run by hand";
    const int opens = count(h.journal, QStringLiteral("open 5 /sounds/other.mp3"));
    FormHarness::click(h.slot(5).stopButton);
    EXPECT_EQ(count(h.journal, QStringLiteral("open 5 /sounds/other.mp3")), opens + 1);
    EXPECT_EQ(armedSlots(h, QTime(10, 0, 0)), std::vector<int>{5}) << "Stop";

    tickAt(h, QTime(11, 30, 0, 2));
    EXPECT_TRUE(armedSlots(h, QTime(10, 0, 0)).empty()) << "the clock jumped";
    tickAt(h, QTime(9, 59, 59, 500));
    EXPECT_EQ(armedSlots(h, QTime(10, 0, 0)), std::vector<int>{5}) << "the clock was set back";

    h.messageBox.answerNext(MessageAnswer::Ok);
    FormHarness::click(h.c().quitButton);
    EXPECT_TRUE(armedSlots(h, QTime(10, 0, 0)).empty()) << "the program ended";
}

TEST(StartAhead, TheStartLineGivesWhenTheFirstSampleWasHeardNextToTheTicksLateness)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell.mp3"), QTime(10, 0, 0));
    tickAt(h, QTime(9, 59, 59, 2));
    h.player(3).setFirstSampleMs(0.34);
    testing::internal::CaptureStderr();
    tickAt(h, QTime(10, 0, 0, 4));
    const QString log = QString::fromStdString(testing::internal::GetCapturedStderr()).trimmed();

    EXPECT_TRUE(log.endsWith(QStringLiteral(
        "Slot 4: started bell.mp3 scheduled for 10:00:00, 4 ms late, first sample +0.3 ms")))
        << log.toStdString();
}

TEST(StartAhead, AStartPlacedAheadButHeardLateNamesTheOutputThatRenderedItLate)
{
    FormHarness h;
    h.outputCheck.playThrough(QStringLiteral("PipeWire"));
    giveSlot(h, 3, QStringLiteral("bell.mp3"), QTime(10, 0, 0));
    tickAt(h, QTime(9, 59, 59, 2));
    h.player(3).setFirstSampleMs(93.4);
    tickAt(h, QTime(10, 0, 0, 4));

    EXPECT_TRUE(h.c().statusLine->text().endsWith(QStringLiteral(
        "Slot 4: started bell.mp3 scheduled for 10:00:00, 4 ms late, first sample +93.4 ms, more "
        "than 5 ms off its second: the sound output (PipeWire) could not render it sooner")))
        << h.c().statusLine->text().toStdString();
}
