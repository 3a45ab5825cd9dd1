#include "TimeOfDayOccurrences.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

qint64 utc(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toMSecsSinceEpoch();
}

struct OccurrenceCase {
    const char* name;
    const char* zone;
    QTime timeOfDay;
    const char* after; // UTC
    const char* expected; // UTC; null when none
};

void PrintTo(const OccurrenceCase& c, std::ostream* out)
{
    *out << c.name;
}

class NextOccurrence : public testing::TestWithParam<OccurrenceCase> { };

} // namespace

TEST_P(NextOccurrence, IsTheFirstReadingOfItsDateAfterTheInstantInRealTime)
{
    const OccurrenceCase& c = GetParam();
    const QTimeZone zone(c.zone);
    ASSERT_TRUE(zone.isValid()) << c.zone;
    const std::optional<qint64> next = nextOccurrence(c.timeOfDay, utc(c.after), zone);
    ASSERT_TRUE(next);
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(*next, Qt::UTC).toString(Qt::ISODate),
        QDateTime::fromMSecsSinceEpoch(utc(c.expected), Qt::UTC).toString(Qt::ISODate));
}

INSTANTIATE_TEST_SUITE_P(Table, NextOccurrence,
    testing::Values(
        // Europe/Berlin: 2026-03-29 02:00 CET became 03:00 CEST; 2026-10-25
        // 03:00 CEST became 02:00 CET.
        OccurrenceCase{"berlinBeforeSpring", "Europe/Berlin", QTime(1, 59, 50),
            "2026-03-29T00:59:20Z", "2026-03-29T00:59:50Z"},
        OccurrenceCase{"berlinOverTheGap", "Europe/Berlin", QTime(3, 0, 10), "2026-03-29T00:59:20Z",
            "2026-03-29T01:00:10Z"},
        OccurrenceCase{"berlinSkippedIsTomorrow", "Europe/Berlin", QTime(2, 30),
            "2026-03-28T23:59:50Z", "2026-03-30T00:30:00Z"},
        OccurrenceCase{"berlinRepeatedFirst", "Europe/Berlin", QTime(2, 0, 20),
            "2026-10-24T12:00:00Z", "2026-10-25T00:00:20Z"},
        OccurrenceCase{"berlinRepeatedNotAgain", "Europe/Berlin", QTime(2, 0, 20),
            "2026-10-25T00:00:20Z", "2026-10-26T01:00:20Z"},
        OccurrenceCase{"berlinBetweenReadings", "Europe/Berlin", QTime(2, 0, 20),
            "2026-10-25T00:59:45Z", "2026-10-26T01:00:20Z"},
        OccurrenceCase{"berlinAfterTheHour", "Europe/Berlin", QTime(3, 0, 0),
            "2026-10-25T00:59:45Z", "2026-10-25T02:00:00Z"},
        // America/New_York: 2026-03-08 02:00 EST became 03:00 EDT; 2026-11-01
        // 02:00 EDT became 01:00 EST.
        OccurrenceCase{"newYorkSkipped", "America/New_York", QTime(2, 30), "2026-03-08T06:00:00Z",
            "2026-03-09T06:30:00Z"},
        OccurrenceCase{"newYorkRepeatedFirst", "America/New_York", QTime(1, 30),
            "2026-11-01T04:00:00Z", "2026-11-01T05:30:00Z"},
        OccurrenceCase{"newYorkRepeatedNotAgain", "America/New_York", QTime(1, 30),
            "2026-11-01T05:30:00Z", "2026-11-02T06:30:00Z"},
        // Australia/Sydney, summer time from October to April: 2026-04-05 03:00
        // AEDT became 02:00 AEST; 2026-10-04 02:00 AEST became 03:00 AEDT.
        OccurrenceCase{"sydneyRepeatedFirst", "Australia/Sydney", QTime(2, 30),
            "2026-04-04T12:00:00Z", "2026-04-04T15:30:00Z"},
        OccurrenceCase{"sydneyRepeatedNotAgain", "Australia/Sydney", QTime(2, 30),
            "2026-04-04T15:30:00Z", "2026-04-05T16:30:00Z"},
        OccurrenceCase{"sydneySkipped", "Australia/Sydney", QTime(2, 30), "2026-10-03T15:00:00Z",
            "2026-10-04T15:30:00Z"},
        // Asia/Tokyo keeps one offset: every date reads every time once.
        OccurrenceCase{"tokyoToday", "Asia/Tokyo", QTime(2, 30), "2026-03-28T17:00:00Z",
            "2026-03-28T17:30:00Z"},
        OccurrenceCase{"tokyoAtTheInstantIsTomorrow", "Asia/Tokyo", QTime(2, 30),
            "2026-03-28T17:30:00Z", "2026-03-29T17:30:00Z"},
        OccurrenceCase{
            "utcMidnight", "UTC", QTime(0, 0), "2026-12-07T23:59:59.999Z", "2026-12-08T00:00:00Z"}),
    [](const testing::TestParamInfo<OccurrenceCase>& info) {
        return std::string(info.param.name);
    });

TEST(OccurrenceOn, SkipsATimeTheClocksJumpOverAndTakesTheFirstOfTwoReadings)
{
    const QTimeZone berlin("Europe/Berlin");
    EXPECT_EQ(occurrenceOn(QDate(2026, 3, 29), QTime(2, 30), berlin), std::nullopt);
    EXPECT_EQ(occurrenceOn(QDate(2026, 3, 29), QTime(2, 0), berlin), std::nullopt);
    EXPECT_EQ(occurrenceOn(QDate(2026, 3, 29), QTime(3, 0), berlin), utc("2026-03-29T01:00:00Z"));
    EXPECT_EQ(
        occurrenceOn(QDate(2026, 3, 29), QTime(1, 59, 59), berlin), utc("2026-03-29T00:59:59Z"));
    EXPECT_EQ(
        occurrenceOn(QDate(2026, 10, 25), QTime(2, 59, 59), berlin), utc("2026-10-25T00:59:59Z"));
    EXPECT_EQ(occurrenceOn(QDate(2026, 12, 7), QTime(10, 0), berlin), utc("2026-12-07T09:00:00Z"));
    EXPECT_EQ(occurrenceOn(QDate(2026, 12, 7), QTime(), berlin), std::nullopt);
}
