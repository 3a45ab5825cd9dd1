#include "ScheduleSteps.h"

#include <QPushButton>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <set>

// The clock on the nights summer time begins and ends, in Europe/Berlin:
// 2026-03-29 02:00 CET became 03:00 CEST, 2026-10-25 03:00 CEST became 02:00 CET.

namespace {

const QTimeZone Berlin("Europe/Berlin");

QDateTime inBerlin(const char* utc)
{
    return QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODate).toTimeZone(Berlin);
}

// Time passing as the program runs: both clocks move on, a tick a second.
void runFor(
    FormHarness& h, int seconds, const std::function<void()>& afterTick = [] {})
{
    for (int s = 0; s < seconds; ++s) {
        h.clock.advanceMs(1000);
        h.form().onScheduleTick();
        afterTick();
    }
}

} // namespace

TEST(SummerTime, TheHourReadAgainAsItEndsRingsNoSlotTwice)
{
    FormHarness h;
    giveSlot(h, 2, QStringLiteral("bell.mp3"), QTime(2, 0, 20));
    tickAt(h, inBerlin("2026-10-25T00:00:18.004Z")); // 2:00:18 CEST
    std::set<QDateTime> placed;
    testing::internal::CaptureStderr();
    // Through 2:00:20 CEST, 3:00 CEST becoming 2:00 CET, and 2:00:20 CET.
    runFor(h, 3605, [&] {
        if (h.player(2).armedFor())
            placed.insert(*h.player(2).armedFor());
    });
    const QString log = QString::fromStdString(testing::internal::GetCapturedStderr());

    EXPECT_EQ(count(h.journal, QStringLiteral("play 2")), 1);
    EXPECT_EQ(placed, std::set{inBerlin("2026-10-25T00:00:20Z")}) << "placed ahead once only";
    EXPECT_EQ(log.count(QStringLiteral("started bell.mp3")), 1) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("not heard"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral(
        "Clock: summer time ended, 03:00 became 02:00; the hour from 02:00 is not rung again")))
        << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("set back"))) << log.toStdString();
}

TEST(SummerTime, BeganIsSaidAsSuchWithTheStartItSkipsAndTheNextStartsOnItsSecond)
{
    FormHarness h;
    giveSlot(h, 1, QStringLiteral("never.mp3"), QTime(2, 30));
    giveSlot(h, 4, QStringLiteral("three.mp3"), QTime(3, 0));
    tickAt(h, inBerlin("2026-03-29T00:59:58.004Z")); // 1:59:58 CET
    testing::internal::CaptureStderr();
    runFor(h, 3); // 1:59:59 CET, 3:00:00 and 3:00:01 CEST
    const QString log = QString::fromStdString(testing::internal::GetCapturedStderr());

    EXPECT_TRUE(log.contains(QStringLiteral(
        "Clock: summer time began, 02:00 became 03:00; 2:30:00 does not occur tonight")))
        << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("held up"))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("ms late:"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Slot 5: started three.mp3 scheduled for 3:00:00, 4 ms "
                                            "late, first sample")))
        << log.toStdString();
    EXPECT_EQ(count(h.journal, QStringLiteral("play 1")), 0);
    EXPECT_TRUE(h.c().statusLine->text().contains(QStringLiteral(
        "Slot 2: missed never.mp3 scheduled for 2:30:00: that time does not occur tonight")))
        << h.c().statusLine->text().toStdString();
}

TEST(SummerTime, TheNextStartAndTheChecksAheadCountRealTimeAcrossBothChanges)
{
    {
        FormHarness h;
        giveSlot(h, 0, QStringLiteral("first"), QTime(1, 59, 50));
        giveSlot(h, 1, QStringLiteral("never"), QTime(2, 30));
        giveSlot(h, 2, QStringLiteral("after"), QTime(3, 0, 10));
        const QString after = QStringLiteral("/sounds/after.mp3");
        h.dialog(2).setFileName(after);
        tickAt(h, inBerlin("2026-03-29T00:58:00.004Z"));
        h.finishChecks();
        h.fileCheck.breakFile(after, QStringLiteral("is no longer readable"));
        tickAt(h, inBerlin("2026-03-29T00:59:20.004Z")); // 1:59:20 CET
        h.finishChecks();
        EXPECT_EQ(
            h.c().nextStartLabel->text(), QStringLiteral("Next: 1:59:50  first (slot 1)  in 30 s"));
        EXPECT_TRUE(h.c().statusLine->toolTip().contains(
            QStringLiteral("Slot 3: after.mp3 is no longer readable (due 3:00:10, in 50 s)")))
            << h.c().statusLine->toolTip().toStdString();

        tickAt(h, inBerlin("2026-03-29T00:59:50.004Z"));
        EXPECT_EQ(
            h.c().nextStartLabel->text(), QStringLiteral("Next: 3:00:10  after (slot 3)  in 20 s"));
    }
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("night"), QTime(2, 0, 20));
    tickAt(h, inBerlin("2026-10-25T00:59:45.004Z")); // 2:59:45 CEST, 2:00:20 CET to come
    EXPECT_EQ(h.c().nextStartLabel->text(),
        QStringLiteral("Next: tomorrow 2:00:20  night (slot 4)  in 24 h 00 min 35 s"));
}
