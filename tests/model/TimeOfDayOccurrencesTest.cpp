#include "model/TimeOfDayOccurrences.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

// Instants of 2026 in UTC, e.g. "03-29T01:00:10".
qint64 utc(const char* monthToSecond)
{
    return QDateTime::fromString(
        QStringLiteral("2026-%1Z").arg(QLatin1String(monthToSecond)), Qt::ISODate)
        .toMSecsSinceEpoch();
}

} // namespace

// Berlin: 03-29 02:00 CET became 03:00 CEST, 10-25 03:00 CEST became 02:00 CET.
// New York: 03-08 02:00 became 03:00, 11-01 02:00 became 01:00. Sydney, summer
// time from October to April: 04-05 03:00 became 02:00, 10-04 02:00 became 03:00.
TEST(NextOccurrence, IsTheFirstReadingOfItsDateAfterTheInstant)
{
    const struct {
        const char* zone;
        const char* timeOfDay;
        const char* after;
        const char* expected;
    } table[] = {{"Europe/Berlin", "03:00:10", "03-29T00:59:20", "03-29T01:00:10"},
        {"Europe/Berlin", "02:30:00", "03-28T23:59:50", "03-30T00:30:00"},
        {"Europe/Berlin", "02:00:20", "10-24T12:00:00", "10-25T00:00:20"},
        {"Europe/Berlin", "02:00:20", "10-25T00:00:20", "10-26T01:00:20"},
        {"Europe/Berlin", "02:00:20", "10-25T00:59:45", "10-26T01:00:20"},
        {"America/New_York", "02:30:00", "03-08T06:00:00", "03-09T06:30:00"},
        {"America/New_York", "01:30:00", "11-01T05:30:00", "11-02T06:30:00"},
        {"Australia/Sydney", "02:30:00", "04-04T15:30:00", "04-05T16:30:00"},
        {"Australia/Sydney", "02:30:00", "10-03T15:00:00", "10-04T15:30:00"},
        {"Asia/Tokyo", "02:30:00", "03-28T17:00:00", "03-28T17:30:00"},
        {"Asia/Tokyo", "02:30:00", "03-28T17:30:00", "03-29T17:30:00"}};
    for (const auto& row : table) {
        SCOPED_TRACE(std::string(row.zone) + ' ' + row.timeOfDay + " after " + row.after);
        const QTimeZone zone(row.zone);
        ASSERT_TRUE(zone.isValid());
        EXPECT_EQ(
            nextOccurrence(QTime::fromString(QLatin1String(row.timeOfDay)), utc(row.after), zone),
            utc(row.expected));
    }
}

TEST(OccurrenceOn, SkipsATimeTheClocksJumpOverAndTellsTheFirstOfTwoReadingsFromItsRepeat)
{
    const QTimeZone berlin("Europe/Berlin");
    EXPECT_EQ(occurrenceOn(QDate(2026, 3, 29), QTime(2, 0), berlin), std::nullopt);
    EXPECT_EQ(occurrenceOn(QDate(2026, 3, 29), QTime(3, 0), berlin), utc("03-29T01:00:00"));
    EXPECT_EQ(occurrenceOn(QDate(2026, 10, 25), QTime(2, 59, 59), berlin), utc("10-25T00:59:59"));
    EXPECT_EQ(repeatOn(QDate(2026, 10, 25), QTime(2, 59, 59), berlin), utc("10-25T01:59:59"));
    EXPECT_EQ(repeatOn(QDate(2026, 10, 25), QTime(3, 0), berlin), std::nullopt);
    EXPECT_EQ(repeatOn(QDate(2026, 10, 24), QTime(2, 30), berlin), std::nullopt);
}
