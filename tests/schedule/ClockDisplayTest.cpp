#include "FormHarness.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

TEST(ClockDisplay, ShowsTheTimeOfDayOnEveryTick)
{
    FormHarness h;
    const std::pair<QTime, const char*> cases[] = {
        {QTime(19, 12, 0), "19:12:00"},
        {QTime(9, 5, 0, 730), "9:05:00"},
        {QTime(0, 0, 0), "0:00:00"},
    };
    for (const auto& [time, text] : cases) {
        h.clock.setTime(time);
        FormHarness::tick(h.c().clockTimer);
        EXPECT_EQ(h.c().clockLabel->text(), QString::fromLatin1(text));
    }
}

TEST(ClockDisplay, FollowsTheSecondAtTheNextTickAfterItChanges)
{
    FormHarness h;
    h.clock.setTime(QTime(9, 4, 59, 950));
    FormHarness::tick(h.c().clockTimer);
    EXPECT_EQ(h.c().clockLabel->text(), QStringLiteral("9:04:59"));
    h.clock.advanceMs(100);
    FormHarness::tick(h.c().clockTimer);
    EXPECT_EQ(h.c().clockLabel->text(), QStringLiteral("9:05:00"));
}

TEST(ClockDisplay, ItsTimerRunsEveryTenthOfASecondFromTheStart)
{
    FormHarness h(FormHarness::Start::AsCreated);
    QTimer* timer2 = h.c().clockTimer;
    EXPECT_TRUE(timer2->isActive());
    EXPECT_EQ(timer2->interval(), 100);
    EXPECT_EQ(timer2->timerType(), Qt::PreciseTimer);
    h.clock.setTime(QTime(19, 12, 0));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return h.c().clockLabel->text() == QStringLiteral("19:12:00"); }, 1000));
}
