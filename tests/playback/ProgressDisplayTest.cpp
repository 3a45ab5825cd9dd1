#include "FormHarness.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

namespace {

class Progress : public ::testing::Test {
protected:
    Progress()
    {
        h.unlock();
        for (int i = 0; i < SlotCount; ++i)
            h.giveFile(i, QStringLiteral("/sounds/%1.mp3").arg(i));
        h.journal.clear();
    }
    void run(int slot) { FormHarness::click(h.slot(slot).runButton); }
    // The slot's progress timer, which runs while the slot is the sounding one, ticks.
    void tick(int slot) { FormHarness::tick(h.c().progressTimer(slot)); }
    QString past(int slot) { return h.slot(slot).elapsedLabel->text(); }
    QString total(int slot) { return h.slot(slot).totalLabel->text(); }

    FormHarness h;
};

// Lets a single progress timer fire for real, bounded by a short wait.
bool tickFiresWithin(QTimer* timer, int ms)
{
    const int interval = timer->interval();
    timer->setInterval(1);
    bool fired = false;
    const auto connection = QObject::connect(timer, &QTimer::timeout, [&] { fired = true; });
    fired = QTest::qWaitFor([&] { return fired; }, ms);
    QObject::disconnect(connection);
    timer->setInterval(interval);
    return fired;
}

} // namespace

TEST_F(Progress, ATickWritesElapsedAndTotalFromThePlayer)
{
    run(3);
    h.player(3).setPosition(185.7);
    h.player(3).setDuration(32768.9);
    tick(3);
    EXPECT_EQ(past(3), QStringLiteral("03:05"));
    EXPECT_EQ(total(3), QStringLiteral("546:08"));
    EXPECT_EQ(past(2), QStringLiteral("- - : - -"));
    EXPECT_EQ(total(4), QStringLiteral("- - : - -"));

    h.player(3).setDurationIsEstimate(true);
    tick(3);
    EXPECT_EQ(total(3), QStringLiteral("~546:08"));
}

TEST_F(Progress, EachTimerShowsItsOwnSlot)
{
    for (int i = 0; i < SlotCount; ++i) {
        run(i);
        h.player(i).setPosition(60.0 * i);
        tick(i);
    }
    for (int i = 0; i < SlotCount; ++i)
        EXPECT_EQ(past(i), QStringLiteral("%1:00").arg(i, 2, 10, QLatin1Char('0'))) << i;
}

TEST_F(Progress, TheTimerOfTheSlotStartedLastDrivesItsDisplay)
{
    run(6);
    h.player(6).setPosition(61);
    h.player(6).setDuration(200);
    ASSERT_TRUE(h.c().progressTimer(6)->isActive());
    ASSERT_TRUE(tickFiresWithin(h.c().progressTimer(6), 5000));
    EXPECT_EQ(past(6), QStringLiteral("01:01"));
    EXPECT_EQ(total(6), QStringLiteral("03:20"));
    EXPECT_EQ(h.c().progressTimer(6)->interval(), 1000);
}

TEST_F(Progress, TwoTicksDuringAPauseShowTheSameTexts)
{
    run(1);
    h.player(1).setPosition(95.4);
    h.player(1).setDuration(300);
    run(1); // pause
    ASSERT_TRUE(h.c().progressTimer(1)->isActive());
    tick(1);
    const QString first = past(1);
    tick(1);
    EXPECT_EQ(past(1), first);
    EXPECT_EQ(first, QStringLiteral("01:35"));
    EXPECT_EQ(total(1), QStringLiteral("05:00"));
}

TEST_F(Progress, AfterAStopTheNextTickShowsTheStart)
{
    run(2);
    h.player(2).setPosition(140);
    tick(2);
    EXPECT_EQ(past(2), QStringLiteral("02:20"));
    FormHarness::click(h.slot(2).stopButton);
    EXPECT_EQ(past(2), QStringLiteral("02:20"));
    tick(2);
    EXPECT_EQ(past(2), QStringLiteral("00:00"));
}

TEST_F(Progress, ADisabledSlotKeepsItsLastTexts)
{
    run(0);
    h.player(0).setPosition(75);
    h.player(0).setDuration(90);
    tick(0);
    run(9);
    EXPECT_FALSE(h.c().progressTimer(0)->isActive());
    EXPECT_TRUE(h.c().progressTimer(9)->isActive());
    h.player(0).setPosition(0);
    tick(9);
    EXPECT_EQ(past(0), QStringLiteral("01:15"));
    EXPECT_EQ(total(0), QStringLiteral("01:30"));
}

TEST_F(Progress, AReadingThatIsNoNumberShowsThePlaceholderWithoutABox)
{
    run(4);
    h.player(4).setPosition(std::numeric_limits<double>::quiet_NaN());
    h.player(4).setDuration(12);
    tick(4);
    EXPECT_EQ(past(4), QStringLiteral("- - : - -"));
    EXPECT_EQ(total(4), QStringLiteral("00:12"));
    EXPECT_TRUE(h.messageBox.shown().empty());
}
