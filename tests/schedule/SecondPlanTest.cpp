#include "SecondPlan.h"
#include "SecondTimer.h"

#include <gtest/gtest.h>

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

TEST(LastOccurrence, FindsTheLatestSecondOfThatTimeInTheRange)
{
    const WallSecond day = 2461000 * SecondsPerDay;
    const auto at = [day](int h, int m, int s, int dayOffset = 0) {
        return day + dayOffset * SecondsPerDay + h * 3600 + m * 60 + s;
    };
    EXPECT_EQ(lastOccurrence(QTime(10, 0, 0), {at(9, 0, 0), at(11, 0, 0)}), at(10, 0, 0));
    EXPECT_EQ(lastOccurrence(QTime(10, 0, 0), {at(10, 0, 0), at(10, 0, 0)}), at(10, 0, 0));
    EXPECT_EQ(lastOccurrence(QTime(10, 0, 0), {at(10, 0, 1), at(11, 0, 0)}), std::nullopt);
    EXPECT_EQ(lastOccurrence(QTime(0, 0, 30), {at(23, 59, 0), at(0, 1, 0, 1)}), at(0, 0, 30, 1));
    EXPECT_EQ(lastOccurrence(QTime(23, 59, 30), {at(23, 59, 0), at(0, 1, 0, 1)}), at(23, 59, 30));
    EXPECT_EQ(lastOccurrence(QTime(8, 0, 0), {at(9, 0, 0), at(9, 0, 0, 3)}), at(8, 0, 0, 3));
    EXPECT_EQ(lastOccurrence(QTime(8, 0, 0), SecondRange{}), std::nullopt);
}

TEST(WallSecond, CountsOnAcrossMidnightAndKeepsTheTimeOfDay)
{
    const QDateTime lastOfDay(QDate(2026, 12, 7), QTime(23, 59, 59, 999));
    const QDateTime midnight(QDate(2026, 12, 8), QTime(0, 0, 0, 4));
    EXPECT_EQ(wallSecondOf(midnight) - wallSecondOf(lastOfDay), 1);
    EXPECT_EQ(timeOfDayOf(wallSecondOf(midnight)), QTime(0, 0, 0));
    EXPECT_EQ(timeOfDayOf(wallSecondOf(lastOfDay)), QTime(23, 59, 59));
    EXPECT_EQ(msAfterStartOf(wallSecondOf(lastOfDay), midnight), 1004);
}

TEST(MsUntilNextSecond, ArmsForTheNextSecondBoundary)
{
    const QDate day(2026, 12, 7);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(10, 0, 0, 0))), 1000);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(10, 0, 0, 4))), 996);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(10, 0, 0, 999))), 1);
    EXPECT_EQ(msUntilNextSecond(QDateTime(day, QTime(23, 59, 59, 500))), 500);
}
