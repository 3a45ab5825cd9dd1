#include "schedule/SecondPlan.h"
#include "model/Timetable.h"
#include "schedule/SecondTimer.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

struct PlanCase {
    const char* name;
    std::optional<WallSecond> lastTested;
    WallSecond current;
    ClockPassage passage;
    SecondRange toTest;
    SecondRange missed;
};

void PrintTo(const PlanCase& c, std::ostream* out)
{
    *out << c.name;
}

class PlanSeconds : public testing::TestWithParam<PlanCase> { };

} // namespace

TEST_P(PlanSeconds, TestsEverySecondOnceAndTakesLongGapsAsClockChanges)
{
    const PlanCase& c = GetParam();
    const SecondPlan plan = planSeconds(c.lastTested, c.current);
    EXPECT_EQ(plan.passage, c.passage);
    EXPECT_EQ(plan.toTest, c.toTest);
    EXPECT_EQ(plan.missed, c.missed);
}

INSTANTIATE_TEST_SUITE_P(Table, PlanSeconds,
    testing::Values(PlanCase{"first", std::nullopt, 100, ClockPassage::FirstTick, {100, 100}, {}},
        PlanCase{"sameSecond", 100, 100, ClockPassage::SameSecond, {}, {}},
        PlanCase{"next", 100, 101, ClockPassage::OnTime, {101, 101}, {}},
        PlanCase{"oneSkipped", 100, 102, ClockPassage::LateTick, {101, 102}, {}},
        PlanCase{"fiveLate", 100, 106, ClockPassage::LateTick, {101, 106}, {}},
        PlanCase{"sixLate", 100, 107, ClockPassage::JumpedForward, {107, 107}, {101, 106}},
        PlanCase{"hourForward", 100, 3700, ClockPassage::JumpedForward, {3700, 3700}, {101, 3699}},
        PlanCase{"oneBack", 100, 99, ClockPassage::JumpedBack, {99, 99}, {}},
        PlanCase{"hourBack", 3700, 100, ClockPassage::JumpedBack, {100, 100}, {}}),
    [](const testing::TestParamInfo<PlanCase>& info) { return std::string(info.param.name); });

// TZ given as a path is read by the C library but not named by Qt's zones.
TEST(HeldUp, TheClocksAgreeingTellAHoldUpFromAClockChangeAndALateTickFromAHoldUp)
{
    EXPECT_TRUE(wasHeldUp(3700, 3698)) << "both clocks passed the same time";
    EXPECT_FALSE(wasHeldUp(3700, 1000)) << "the wall clock was set forward";
    EXPECT_FALSE(wasHeldUp(-1000, 1000)) << "the wall clock was set back";
    EXPECT_EQ(heldUpBeyondTick(1000), std::nullopt);
    EXPECT_EQ(heldUpBeyondTick(1100), std::nullopt) << "a late tick on a busy machine";
    EXPECT_EQ(heldUpBeyondTick(1200), 200) << "stopped for half a second across a second";
    EXPECT_EQ(heldUpBeyondTick(3698), 2698);
}

TEST(SlotsDueAt, StillStartsSlotsInAZoneQtCannotName)
{
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", ":/usr/share/zoneinfo/Asia/Tokyo");
    tzset();
    const QDateTime reading =
        QDateTime::fromString(QStringLiteral("2026-12-07T01:00:00Z"), Qt::ISODate).toLocalTime();
    const QTime readAs = reading.time();
    const WallSecond second = wallSecondOf(reading);
    const QTimeZone zone = zoneOf(reading);
    qputenv("TZ", saved);
    tzset();
    EXPECT_EQ(readAs, QTime(10, 0));
    Timetable timetable;
    timetable.takeFile(4, QStringLiteral("/sounds/bell.mp3"));
    timetable.setStartTime(4, QTime(10, 0));
    EXPECT_EQ(slotsDueAt(timetable, second, zone), std::vector<int>{4});
}

TEST(LastOccurrence, FindsTheLatestSecondOfThatTimeInTheRange)
{
    const QTimeZone zone("Europe/Berlin");
    const WallSecond day = wallSecondOf(QDateTime(QDate(2026, 12, 7), QTime(0, 0), zone));
    const auto at = [day](int h, int m, int s, int dayOffset = 0) {
        return day + dayOffset * 86400 + h * 3600 + m * 60 + s;
    };
    EXPECT_EQ(lastOccurrence(QTime(10, 0, 0), {at(9, 0, 0), at(11, 0, 0)}, zone), at(10, 0, 0));
    EXPECT_EQ(lastOccurrence(QTime(10, 0, 0), {at(10, 0, 0), at(10, 0, 0)}, zone), at(10, 0, 0));
    EXPECT_EQ(lastOccurrence(QTime(10, 0, 0), {at(10, 0, 1), at(11, 0, 0)}, zone), std::nullopt);
    EXPECT_EQ(
        lastOccurrence(QTime(0, 0, 30), {at(23, 59, 0), at(0, 1, 0, 1)}, zone), at(0, 0, 30, 1));
    EXPECT_EQ(
        lastOccurrence(QTime(23, 59, 30), {at(23, 59, 0), at(0, 1, 0, 1)}, zone), at(23, 59, 30));
    EXPECT_EQ(lastOccurrence(QTime(8, 0, 0), {at(9, 0, 0), at(9, 0, 0, 3)}, zone), at(8, 0, 0, 3));
    EXPECT_EQ(lastOccurrence(QTime(8, 0, 0), SecondRange{}, zone), std::nullopt);
    // 2:30 CET on the night the clocks go back is the second reading, no start.
    const WallSecond secondReading =
        wallSecondOf(QDateTime::fromString(QStringLiteral("2026-10-25T01:30:00Z"), Qt::ISODate));
    EXPECT_EQ(
        lastOccurrence(QTime(2, 30), {secondReading - 60, secondReading}, zone), std::nullopt);
}

TEST(WallSecond, CountsRealSecondsAcrossMidnightAndSummerTime)
{
    const QDateTime lastOfDay(QDate(2026, 12, 7), QTime(23, 59, 59, 999));
    const QDateTime midnight(QDate(2026, 12, 8), QTime(0, 0, 0, 4));
    EXPECT_EQ(wallSecondOf(midnight) - wallSecondOf(lastOfDay), 1);
    EXPECT_EQ(msAfterStartOf(wallSecondOf(lastOfDay), midnight), 1004);
    const QTimeZone berlin("Europe/Berlin");
    const QDateTime beforeGap(QDate(2026, 3, 29), QTime(1, 59, 59, 500), berlin);
    EXPECT_EQ(msAfterStartOf(wallSecondOf(beforeGap),
                  QDateTime(QDate(2026, 3, 29), QTime(3, 0, 0, 4), berlin)),
        1004);
}

TEST(MsUntilNextSecond, ArmsForTheNextSecondBoundary)
{
    const QDate day(2026, 12, 7);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(10, 0, 0, 0))), 1000);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(10, 0, 0, 4))), 996);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(10, 0, 0, 999))), 1);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(23, 59, 59, 500))), 500);
}
