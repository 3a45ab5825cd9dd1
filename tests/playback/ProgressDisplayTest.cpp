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
        for (int i = 0; i < SlotCount; ++i) {
            const QString path = QStringLiteral("/sounds/%1.mp3").arg(i);
            h.dialog(i).setFileName(path);
            h.player(i).open(path);
            h.slot(i).Command3->setEnabled(true);
        }
        h.journal.clear();
    }
    QString past(int slot) { return h.slot(slot).lblPast->text(); }
    QString total(int slot) { return h.slot(slot).lblTotal->text(); }

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
    h.player(3).setPosition(185.7);
    h.player(3).setDuration(32768.9);
    h.form().Timer8_Timer();
    EXPECT_EQ(past(3), QStringLiteral("03:05"));
    EXPECT_EQ(total(3), QStringLiteral("546:08"));
    EXPECT_EQ(past(2), QStringLiteral("- - : - -"));
    EXPECT_EQ(total(4), QStringLiteral("- - : - -"));
}

TEST_F(Progress, EachTimerShowsItsOwnSlot)
{
    for (int i = 0; i < SlotCount; ++i)
        h.player(i).setPosition(60.0 * i);
    Form1& f = h.form();
    for (auto tick :
        {&Form1::Timer5_Timer, &Form1::Timer6_Timer, &Form1::Timer7_Timer, &Form1::Timer8_Timer,
            &Form1::Timer9_Timer, &Form1::Timer10_Timer, &Form1::Timer11_Timer,
            &Form1::Timer12_Timer, &Form1::Timer13_Timer, &Form1::Timer14_Timer})
        (f.*tick)();
    for (int i = 0; i < SlotCount; ++i)
        EXPECT_EQ(past(i), QStringLiteral("%1:00").arg(i, 2, 10, QLatin1Char('0'))) << i;
}

TEST_F(Progress, TheTimerOfTheSlotStartedLastDrivesItsDisplay)
{
    FormHarness::click(h.slot(6).Command3);
    h.player(6).setPosition(61);
    h.player(6).setDuration(200);
    ASSERT_TRUE(h.c().timer(11)->isActive());
    ASSERT_TRUE(tickFiresWithin(h.c().timer(11), 5000));
    EXPECT_EQ(past(6), QStringLiteral("01:01"));
    EXPECT_EQ(total(6), QStringLiteral("03:20"));
    EXPECT_EQ(h.c().timer(11)->interval(), 1000);
}

TEST_F(Progress, TwoTicksDuringAPauseShowTheSameTexts)
{
    FormHarness::click(h.slot(1).Command3);
    h.player(1).setPosition(95.4);
    h.player(1).setDuration(300);
    FormHarness::click(h.slot(1).Command3); // pause
    ASSERT_TRUE(h.c().timer(6)->isActive());
    h.form().Timer6_Timer();
    const QString first = past(1);
    h.form().Timer6_Timer();
    EXPECT_EQ(past(1), first);
    EXPECT_EQ(first, QStringLiteral("01:35"));
    EXPECT_EQ(total(1), QStringLiteral("05:00"));
}

TEST_F(Progress, AfterAStopTheNextTickShowsTheStart)
{
    h.slot(2).Command5->setEnabled(true);
    FormHarness::click(h.slot(2).Command3);
    h.player(2).setPosition(140);
    h.form().Timer7_Timer();
    EXPECT_EQ(past(2), QStringLiteral("02:20"));
    FormHarness::click(h.slot(2).Command5);
    EXPECT_EQ(past(2), QStringLiteral("02:20"));
    h.form().Timer7_Timer();
    EXPECT_EQ(past(2), QStringLiteral("00:00"));
}

TEST_F(Progress, ADisabledSlotKeepsItsLastTexts)
{
    FormHarness::click(h.slot(0).Command3);
    h.player(0).setPosition(75);
    h.player(0).setDuration(90);
    h.form().Timer5_Timer();
    FormHarness::click(h.slot(9).Command3);
    EXPECT_FALSE(h.c().timer(5)->isActive());
    EXPECT_TRUE(h.c().timer(14)->isActive());
    h.player(0).setPosition(0);
    h.form().Timer14_Timer();
    EXPECT_EQ(past(0), QStringLiteral("01:15"));
    EXPECT_EQ(total(0), QStringLiteral("01:30"));
}

TEST_F(Progress, AReadingThatIsNoNumberShowsThePlaceholderWithoutABox)
{
    h.player(4).setPosition(std::numeric_limits<double>::quiet_NaN());
    h.player(4).setDuration(12);
    h.form().Timer9_Timer();
    EXPECT_EQ(past(4), QStringLiteral("- - : - -"));
    EXPECT_EQ(total(4), QStringLiteral("00:12"));
    EXPECT_TRUE(h.messageBox.shown().empty());
}
