#include "ScheduleSteps.h"
#include "window/LabelColour.h"

#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QStringList stderrLines(const std::string& captured)
{
    return QString::fromStdString(captured).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(EverySecondOnce, IrregularTicksStartEachSlotOnceInTheOrderOfItsSecond)
{
    FormHarness h;
    for (int i = 0; i < SlotCount; ++i)
        giveSlot(h, i, QStringLiteral("s%1.mp3").arg(i), QTime(10, 0, i));
    h.journal.clear();
    // Early and late in a second, twice in one second, a second left out and
    // a tick five seconds late.
    const int msAfterTen[] = {-1, 998, 1001, 1500, 3002, 3999, 9000, 9999, 10500};
    for (int ms : msAfterTen)
        tickAt(h, QDateTime(QDate(2026, 12, 7), QTime(10, 0)).addMSecs(ms));

    QStringList plays;
    for (const QString& call : h.journal)
        if (call.startsWith(QStringLiteral("play")))
            plays << call;
    QStringList expected;
    for (int i = 0; i < SlotCount; ++i)
        expected << QStringLiteral("play %1").arg(i);
    EXPECT_EQ(plays, expected);
}

TEST(EverySecondOnce, ALateTickStartsTheSlotsOfTheSecondsItSkippedAndLogsThemLate)
{
    FormHarness h;
    giveSlot(h, 5, QStringLiteral("five.mp3"), QTime(10, 0, 3));
    giveSlot(h, 2, QStringLiteral("two.mp3"), QTime(10, 0, 1));
    tickAt(h, QTime(10, 0, 0, 2));
    h.journal.clear();
    testing::internal::CaptureStderr();
    tickAt(h, QTime(10, 0, 6, 200));
    const QStringList log = stderrLines(testing::internal::GetCapturedStderr());

    EXPECT_EQ(h.journal, startCalls(2) + startCalls(5));
    ASSERT_EQ(log.size(), 2);
    EXPECT_TRUE(log[0].endsWith(QStringLiteral(
        "Slot 3: started two.mp3 scheduled for 10:00:01, 5200 ms late (caught up after a late "
        "tick), first sample +0.0 ms")))
        << log[0].toStdString();
    EXPECT_TRUE(log[1].contains(QStringLiteral("Slot 6: started five.mp3 scheduled for 10:00:03, "
                                               "3200 ms late (caught up")))
        << log[1].toStdString();
}

TEST(EverySecondOnce, AForwardJumpOfMoreThanFiveSecondsMissesAndSaysSo)
{
    FormHarness h;
    giveSlot(h, 1, QStringLiteral("missed.mp3"), QTime(10, 0, 1));
    giveSlot(h, 8, QStringLiteral("landing.mp3"), QTime(10, 0, 7));
    tickAt(h, QTime(10, 0, 0, 2));
    h.journal.clear();
    testing::internal::CaptureStderr();
    tickAt(h, QTime(10, 0, 7, 2));
    const QString log = QString::fromStdString(testing::internal::GetCapturedStderr());

    EXPECT_EQ(h.journal, startCalls(8));
    EXPECT_TRUE(log.contains(QStringLiteral("Clock: jumped forward from 2026-12-07 10:00:00 to "
                                            "2026-12-07 10:00:07; the 6 s between are not tested")))
        << log.toStdString();
    const QString miss = QStringLiteral("Slot 2: missed missed.mp3 scheduled for 10:00:01, 6002 ms "
                                        "late: the clock jumped from 2026-12-07 10:00:00 to "
                                        "2026-12-07 10:00:07");
    EXPECT_TRUE(log.contains(miss)) << log.toStdString();
    EXPECT_TRUE(h.c().statusLine->isVisible());
    EXPECT_TRUE(h.c().statusLine->text().contains(miss));
    EXPECT_TRUE(h.messageBox.shown().empty());
}

TEST(EverySecondOnce, AProgramHeldUpIsLoggedAsHeldUpNotAsAClockChange)
{
    FormHarness h;
    giveSlot(h, 1, QStringLiteral("missed.mp3"), QTime(10, 0, 1));
    tickAt(h, QTime(10, 0, 0, 2));
    testing::internal::CaptureStderr();
    // Stopped for 42 s: both clocks pass the same time.
    h.clock.advanceMs(42000);
    FormHarness::tick(h.c().schedulerTimer);
    const QString log = QString::fromStdString(testing::internal::GetCapturedStderr());

    EXPECT_TRUE(log.contains(QStringLiteral("Clock: the program was held up 42.0 s, from "
                                            "2026-12-07 10:00:00 to 2026-12-07 10:00:42")))
        << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("jumped"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Slot 2: missed missed.mp3 scheduled for 10:00:01, "
                                            "41002 ms late: the program was held up from")))
        << log.toStdString();
}

TEST(EverySecondOnce, AClockSetBackStartsTheSlotAgainWhenItsSecondComesAgain)
{
    FormHarness h;
    giveSlot(h, 4, QStringLiteral("bell.mp3"), QTime(10, 0, 0));
    h.journal.clear();
    for (int s : {59, 60, 61})
        tickAt(h, QDateTime(QDate(2026, 12, 7), QTime(9, 59)).addMSecs(s * 1000 + 3));
    EXPECT_EQ(count(h.journal, QStringLiteral("play 4")), 1);

    testing::internal::CaptureStderr();
    tickAt(h, QTime(9, 59, 59, 3));
    tickAt(h, QTime(10, 0, 0, 3));
    const QString log = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_EQ(count(h.journal, QStringLiteral("play 4")), 2);
    EXPECT_TRUE(log.contains(QStringLiteral(
        "Clock: set back from 2026-12-07 10:00:01 to 2026-12-07 9:59:59; its seconds are tested "
        "again")))
        << log.toStdString();
}

TEST(EverySecondOnce, TicksWithinOneSecondStartASlotOnlyOnce)
{
    FormHarness h;
    giveSlot(h, 9, QStringLiteral("bell.mp3"), QTime(13, 30, 0));
    h.journal.clear();
    for (int ms : {0, 1, 400, 999})
        tickAt(h, QTime(13, 30, 0, ms));
    EXPECT_EQ(count(h.journal, QStringLiteral("play 9")), 1);
}

TEST(ScheduledStartLog, EveryStartWritesOneLineWithTimeSlotFileSecondAndLateness)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell.mp3"), QTime(10, 0, 0));
    tickAt(h, QTime(9, 59, 59, 4));
    testing::internal::CaptureStderr();
    tickAt(h, QTime(10, 0, 0, 4));
    const QStringList log = stderrLines(testing::internal::GetCapturedStderr());
    ASSERT_EQ(log.size(), 1);
    EXPECT_EQ(log[0],
        QStringLiteral("2026-12-07 10:00:00.004 Slot 4: started bell.mp3 scheduled for 10:00:00, "
                       "4 ms late, first sample +0.0 ms"));
}

TEST(ScheduledStartLog, APlayerThatFailsIsReportedAndTheLaterSlotsOfTheTickStillStart)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("broken.mp3"), QTime(10, 0, 0));
    giveSlot(h, 6, QStringLiteral("bell.mp3"), QTime(10, 0, 0));
    runByHand(h, 3);
    ASSERT_EQ(h.slot(3).runButton->text(), QStringLiteral("&Pause"));
    h.player(3).failPlayWith(QStringLiteral("/sounds/broken.mp3: no sound output"));
    tickAt(h, QTime(9, 59, 59, 7));
    h.journal.clear();
    testing::internal::CaptureStderr();
    tickAt(h, QTime(10, 0, 0, 7));
    const QStringList log = stderrLines(testing::internal::GetCapturedStderr());

    // The failed start stops at its Play: no pauses, no caption.
    EXPECT_EQ(h.journal, QStringList{QStringLiteral("play 3")} + startCalls(6));
    EXPECT_EQ(h.slot(3).runButton->text(), QStringLiteral("&Pause"));
    EXPECT_TRUE(h.player(6).isPlaying());
    EXPECT_EQ(LabelColour::of(h.slot(6).fileNameLabel), LabelColour::Red);

    const QString failure = QStringLiteral("Slot 4: could not start broken.mp3 scheduled for "
                                           "10:00:00, 7 ms late: /sounds/broken.mp3: no sound "
                                           "output");
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0], QStringLiteral("2026-12-07 10:00:00.007 ") + failure);
    EXPECT_TRUE(log[1].endsWith(QStringLiteral("Slot 7: started bell.mp3 scheduled for 10:00:00, "
                                               "7 ms late, first sample +0.0 ms")));
    EXPECT_TRUE(h.c().statusLine->isVisible());
    EXPECT_TRUE(h.c().statusLine->text().contains(failure));
    EXPECT_TRUE(h.messageBox.shown().empty());
}
