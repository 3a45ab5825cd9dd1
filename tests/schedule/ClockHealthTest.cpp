#include "schedule/ClockHealth.h"
#include "FormHarness.h"

#include <QPushButton>

#include <gtest/gtest.h>

TEST(ClockHealth, AnUnsynchronisedClockIsReportedUntilItIsSynchronisedAgain)
{
    FormHarness h;
    QPushButton* status = h.c().statusLine;
    h.clockSync.set({false, 0});
    FormHarness::tick(h.c().schedulerTimer);
    EXPECT_TRUE(status->text().endsWith(QStringLiteral(
        "Clock: not synchronised to a time server; bells follow this machine's own clock")));

    h.clockSync.set({true, 0});
    for (int second = 1; second < 60; ++second) {
        h.clock.advanceMs(1000);
        FormHarness::tick(h.c().schedulerTimer);
    }
    EXPECT_TRUE(status->text().contains(QStringLiteral("Clock: not synchronised")))
        << "the clock is looked at once a minute";
    h.clock.advanceMs(1000);
    FormHarness::tick(h.c().schedulerTimer);
    EXPECT_FALSE(status->isVisible());
}

TEST(ClockHealth, AnEstimatedErrorPastTheLimitIsReported)
{
    FormHarness h;
    h.clockSync.set({true, 250'000});
    FormHarness::tick(h.c().schedulerTimer);
    EXPECT_TRUE(h.c().statusLine->text().endsWith(QStringLiteral(
        "Clock: its estimated error is 250 ms; bells follow this machine's own clock")));
    EXPECT_FALSE(clockHealthWarning({true, ClockErrorLimitUs}));
}
