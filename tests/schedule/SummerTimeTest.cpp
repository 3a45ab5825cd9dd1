#include "ScheduleSteps.h"

#include <QPushButton>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <set>

// In Berlin 2026-03-29 02:00 CET became 03:00 CEST, and 2026-10-25 03:00 CEST
// became 02:00 CET.

namespace {

QDateTime inBerlin(const char* utc)
{
    return QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODate)
        .toTimeZone(QTimeZone("Europe/Berlin"));
}

// The program running for `seconds`: both clocks move on, a tick a second.
QString logWhileRunning(FormHarness& h, int seconds, const std::function<void()>& afterTick)
{
    testing::internal::CaptureStderr();
    for (int s = 0; s < seconds; ++s) {
        h.clock.advanceMs(1000);
        FormHarness::tick(h.c().schedulerTimer);
        afterTick();
    }
    return QString::fromStdString(testing::internal::GetCapturedStderr());
}

} // namespace

TEST(SummerTime, TheHourReadAgainAsItEndsRingsNoSlotTwice)
{
    FormHarness h;
    giveSlot(h, 2, QStringLiteral("bell.mp3"), QTime(2, 0, 20));
    tickAt(h, inBerlin("2026-10-25T00:00:18.004Z"));
    std::set<QDateTime> placed;
    // Through 2:00:20 CEST, 3:00 CEST becoming 2:00 CET, and 2:00:20 CET.
    const QString log = logWhileRunning(h, 3605, [&] {
        if (h.player(2).armedFor())
            placed.insert(*h.player(2).armedFor());
    });
    EXPECT_EQ(count(h.journal, QStringLiteral("play 2")), 1);
    EXPECT_EQ(placed, std::set{inBerlin("2026-10-25T00:00:20Z")});
    EXPECT_EQ(log.count(QStringLiteral("started bell.mp3")), 1) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral(
        "Clock: summer time ended, 03:00 became 02:00; the hour from 02:00 is not rung again")));
}

TEST(SummerTime, AProgramStartedInTheHourReadAgainRingsTheRepeatOnceAndCountsRealTimeToIt)
{
    FormHarness h;
    giveSlot(h, 2, QStringLiteral("bell"), QTime(2, 0, 20));
    // 2:30 CEST: the first 2:00:20 passed before the program ran.
    tickAt(h, inBerlin("2026-10-25T00:30:00.004Z"));
    EXPECT_EQ(h.c().nextStartLabel->text(),
        QStringLiteral("Next: 2:00:20  bell (slot 3)  in 30 min 20 s"));
    std::set<QDateTime> placed;
    // Through 3:00 CEST becoming 2:00 CET, 2:00:20 CET and a minute more.
    const QString log = logWhileRunning(h, 1880, [&] {
        if (h.player(2).armedFor())
            placed.insert(*h.player(2).armedFor());
    });
    EXPECT_EQ(count(h.journal, QStringLiteral("play 2")), 1);
    EXPECT_EQ(placed, std::set{inBerlin("2026-10-25T01:00:20Z")});
    EXPECT_EQ(log.count(QStringLiteral("started bell scheduled for 2:00:20")), 1)
        << log.toStdString();
    EXPECT_TRUE(h.c().nextStartLabel->text().startsWith(QStringLiteral("Next: tomorrow 2:00:20")));
}

TEST(SummerTime, BeganIsSaidAsSuchWithTheStartItSkipsAndTheNextStartsOnItsSecond)
{
    FormHarness h;
    giveSlot(h, 1, QStringLiteral("never.mp3"), QTime(2, 30));
    giveSlot(h, 4, QStringLiteral("three.mp3"), QTime(3, 0));
    tickAt(h, inBerlin("2026-03-29T00:59:58.004Z"));
    const QString log = logWhileRunning(h, 3, [] {});
    EXPECT_TRUE(log.contains(QStringLiteral(
        "Clock: summer time began, 02:00 became 03:00; 2:30:00 does not occur tonight")))
        << log.toStdString();
    EXPECT_FALSE(
        log.contains(QStringLiteral("held up")) || log.contains(QStringLiteral("ms late:")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("started three.mp3 scheduled for 3:00:00, 4 ms late")));
    EXPECT_EQ(count(h.journal, QStringLiteral("play 1")), 0);
    EXPECT_TRUE(h.c().statusLine->text().contains(
        QStringLiteral("Slot 2: missed never.mp3 scheduled for 2:30:00: that time does not occur "
                       "tonight")));
}

TEST(SummerTime, TheNextStartAndTheChecksAheadCountRealTimeAcrossBothChanges)
{
    FormHarness h;
    giveSlot(h, 0, QStringLiteral("first"), QTime(1, 59, 50));
    giveSlot(h, 1, QStringLiteral("never"), QTime(2, 30));
    giveSlot(h, 2, QStringLiteral("after"), QTime(3, 0, 10));
    tickAt(h, inBerlin("2026-03-29T00:58:00.004Z"));
    h.finishChecks();
    h.fileCheck.breakFile(QStringLiteral("/sounds/after.mp3"), QStringLiteral("is gone"));
    tickAt(h, inBerlin("2026-03-29T00:59:20.004Z"));
    h.finishChecks();
    EXPECT_EQ(
        h.c().nextStartLabel->text(), QStringLiteral("Next: 1:59:50  first (slot 1)  in 30 s"));
    EXPECT_TRUE(h.c().statusLine->toolTip().contains(
        QStringLiteral("Slot 3: after.mp3 is gone (due 3:00:10, in 50 s)")));
    tickAt(h, inBerlin("2026-03-29T00:59:50.004Z"));
    EXPECT_EQ(
        h.c().nextStartLabel->text(), QStringLiteral("Next: 3:00:10  after (slot 3)  in 20 s"));

    // At 2:59:45 CEST the program has not rung 2:30 today: it rings at 2:30 CET.
    tickAt(h, inBerlin("2026-10-25T00:59:45.004Z"));
    EXPECT_EQ(h.c().nextStartLabel->text(),
        QStringLiteral("Next: 2:30:00  never (slot 2)  in 30 min 15 s"));
}
