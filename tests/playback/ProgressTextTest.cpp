#include "playback/ProgressText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

namespace {

struct Reading {
    double seconds;
    const char* shown;
};

void PrintTo(const Reading& r, std::ostream* out)
{
    *out << r.seconds << " s";
}

// reading_32768s, reading_minus_0_5s: a case's name says its reading.
std::string readingName(const ::testing::TestParamInfo<Reading>& info)
{
    const double seconds = info.param.seconds;
    std::string name = std::signbit(seconds) ? "reading_minus_" : "reading_";
    for (const char ch : QString::number(std::abs(seconds), 'f', 2).toStdString())
        name += ch == '.' ? '_' : ch;
    while (name.ends_with('0') && name.find('_', 8) != std::string::npos)
        name.pop_back();
    if (name.ends_with('_'))
        name.pop_back();
    return name + "s";
}

class ProgressTextOf : public ::testing::TestWithParam<Reading> { };

} // namespace

TEST_P(ProgressTextOf, ShowsMinutesAndSecondsOfTheWholeSecondsBelow)
{
    EXPECT_EQ(progressText(GetParam().seconds), QString::fromUtf8(GetParam().shown))
        << GetParam().seconds;
}

INSTANTIATE_TEST_SUITE_P(Readings, ProgressTextOf,
    ::testing::Values(Reading{0, "00:00"}, Reading{59.9, "00:59"}, Reading{60, "01:00"},
        Reading{185.7, "03:05"}, Reading{3725, "62:05"}, Reading{6000, "100:00"},
        Reading{36000, "600:00"}, Reading{32767, "546:07"}, Reading{32768, "546:08"},
        Reading{40000.25, "666:40"}, Reading{-1, "-01:59"}, Reading{-0.5, "-01:59"},
        Reading{-0.0, "00:00"}, Reading{-60, "-01:00"}, Reading{-61, "-02:59"},
        Reading{-32769, "-547:51"}, Reading{1e9, "16666666:40"}),
    readingName);

TEST(ProgressText, AReadingThatIsNoTimeShowsThePlaceholder)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (double reading : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, -1e300}) {
        SCOPED_TRACE(reading);
        EXPECT_EQ(progressText(reading), QStringLiteral("- - : - -"));
    }
    EXPECT_EQ(progressPlaceholder(), QStringLiteral("- - : - -"));
}
