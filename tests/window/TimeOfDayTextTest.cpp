#include "window/TimeOfDayText.h"

#include <gtest/gtest.h>

TEST(TimeOfDayText, IsTwentyFourHourWithoutALeadingZeroOnTheHour)
{
    EXPECT_EQ(timeOfDayText(QTime(19, 12, 0)), QStringLiteral("19:12:00"));
    EXPECT_EQ(timeOfDayText(QTime(9, 5, 0)), QStringLiteral("9:05:00"));
    EXPECT_EQ(timeOfDayText(QTime(0, 0, 0)), QStringLiteral("0:00:00"));
    EXPECT_EQ(timeOfDayText(QTime(23, 59, 59, 999)), QStringLiteral("23:59:59"));
}
