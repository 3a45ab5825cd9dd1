#include "editing/TimeEntry.h"

#include <gtest/gtest.h>

TEST(TimeEntry, ReadsTheWaysAnOperatorWritesATimeOfDay)
{
    const struct {
        QString text;
        QTime time;
    } cases[] = {
        {QStringLiteral("19:12:00"), QTime(19, 12, 0)},
        {QStringLiteral("19:12"), QTime(19, 12, 0)},
        {QStringLiteral("7:12:00"), QTime(7, 12, 0)},
        {QStringLiteral("07:12"), QTime(7, 12, 0)},
        {QStringLiteral("7:12 PM"), QTime(19, 12, 0)},
        {QStringLiteral("7:12pm"), QTime(19, 12, 0)},
        {QStringLiteral("7:12 a.m."), QTime(7, 12, 0)},
        {QStringLiteral("12:30 AM"), QTime(0, 30, 0)},
        {QStringLiteral("12:30 PM"), QTime(12, 30, 0)},
        {QStringLiteral("下午7:12"), QTime(19, 12, 0)},
        {QStringLiteral("上午7:12:05"), QTime(7, 12, 5)},
        {QStringLiteral("下午 12:00"), QTime(12, 0, 0)},
        {QStringLiteral("0:00:00"), QTime(0, 0, 0)},
        {QStringLiteral("00:00:00"), QTime(0, 0, 0)},
        {QStringLiteral("23:59:59"), QTime(23, 59, 59)},
        {QStringLiteral("１９：１２：００"), QTime(19, 12, 0)},
        {QStringLiteral("下午７：１２"), QTime(19, 12, 0)},
        {QStringLiteral("７：１２ＰＭ"), QTime(19, 12, 0)},
        {QStringLiteral("  19:12:00\t"), QTime(19, 12, 0)},
        {QStringLiteral("\u3000１９：１２\u3000"), QTime(19, 12, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<QTime> read = readTimeOfDay(c.text);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(*read, c.time);
    }
}

TEST(TimeEntry, RefusesWhatIsNotATimeOfDay)
{
    const QString refused[] = {
        QStringLiteral("25:00"),
        QStringLiteral("24:00"),
        QStringLiteral("19:60"),
        QStringLiteral("19:12:61"),
        QStringLiteral("23:59:60"),
        QStringLiteral("abc"),
        QStringLiteral("19"),
        QStringLiteral("19:12:00:00"),
        QStringLiteral("-1:00"),
        QStringLiteral("19:5"),
        QStringLiteral("19 : 12"),
        QStringLiteral("13:00 PM"),
        QStringLiteral("0:30 AM"),
        QStringLiteral("下午7:12 PM"),
        QStringLiteral("19:12 tomorrow"),
        QStringLiteral("٧:١٢"),
        // A date, with or without a time, never matches the time of day.
        QStringLiteral("2026-12-07"),
        QStringLiteral("2026/12/7 19:12:00"),
        QStringLiteral("2026-12-07T19:12:00"),
        QStringLiteral("12/7"),
        QStringLiteral("2026年12月7日 19:12"),
        QStringLiteral("19:12 2026-12-07"),
        QString(),
    };
    for (const QString& text : refused) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(readTimeOfDay(text).has_value());
    }
}

TEST(TimeEntry, FullWidthFormsBecomeTheirAsciiCharacters)
{
    EXPECT_EQ(
        toHalfWidth(QStringLiteral("１９：１２ＰＭ\u3000下午")), QStringLiteral("19:12PM 下午"));
}
