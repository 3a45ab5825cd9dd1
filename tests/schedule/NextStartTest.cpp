#include "schedule/NextStart.h"
#include "ScheduleSteps.h"
#include "window/TimeOfDayText.h"

#include <gtest/gtest.h>

namespace {

QString nextStartShown(FormHarness& h, QTime at)
{
    tickAt(h, at);
    return h.c().nextStartLabel->text();
}

// The slots the clock started during the last tick, in order.
std::vector<int> playedSince(const QStringList& journal, qsizetype from)
{
    std::vector<int> played;
    for (qsizetype i = from; i < journal.size(); ++i)
        if (journal[i].startsWith(QStringLiteral("play ")))
            played.push_back(journal[i].mid(5).toInt());
    return played;
}

} // namespace

TEST(NextStartLine, NamesTheNextStartItsSlotsAndHowLongUntilIt)
{
    FormHarness h;
    EXPECT_EQ(nextStartShown(h, QTime(9, 47, 57, 400)), QStringLiteral("No start scheduled"));

    giveSlot(h, 3, QStringLiteral("bell"), QTime(10, 0));
    // A start time on a slot whose file has no name is never started, so it
    // is not shown.
    giveSlot(h, 5, QString(), QTime(9, 50));
    EXPECT_EQ(nextStartShown(h, QTime(9, 47, 57, 400)),
        QStringLiteral("Next: 10:00:00  bell (slot 4)  in 12 min 03 s"));
    EXPECT_EQ(nextStartShown(h, QTime(9, 59, 59)),
        QStringLiteral("Next: 10:00:00  bell (slot 4)  in 1 s"));

    giveSlot(h, 6, QStringLiteral("gong"), QTime(10, 0));
    giveSlot(h, 1, QStringLiteral("horn"), QTime(10, 0));
    EXPECT_EQ(nextStartShown(h, QTime(9, 47, 57)),
        QStringLiteral("Next: 3 slots at 10:00:00, slot 7 sounds  in 12 min 03 s"));

    // Once 10:00:00 has been tested, the next one is tomorrow's.
    EXPECT_EQ(nextStartShown(h, QTime(10, 0, 0, 3)),
        QStringLiteral("Next: 3 slots at tomorrow 10:00:00, slot 7 sounds  in 24 h 00 min 00 s"));
    giveSlot(h, 8, QStringLiteral("early"), QTime(7, 55));
    EXPECT_EQ(nextStartShown(h, QTime(10, 0, 1)),
        QStringLiteral("Next: tomorrow 7:55:00  early (slot 9)  in 21 h 54 min 59 s"));
}

// The line is read before each second and the clock's starts in that second
// must be exactly the ones it named; across midnight, with the clock set back
// over starts already made and set forward over others.
TEST(NextStartLine, AlwaysNamesWhatTheClockStartsNext)
{
    FormHarness h;
    giveSlot(h, 0, QStringLiteral("late"), QTime(23, 59, 58));
    giveSlot(h, 5, QStringLiteral("first"), QTime(0, 0, 1));
    giveSlot(h, 8, QStringLiteral("pair-b"), QTime(0, 0, 3));
    giveSlot(h, 2, QStringLiteral("pair-a"), QTime(0, 0, 3));
    giveSlot(h, 7, QStringLiteral("morning"), QTime(7, 55));
    giveSlot(h, 4, QString(), QTime(0, 0, 2)); // no file name: neither shown nor started

    const QDate day(2026, 12, 7);
    std::vector<QDateTime> readings;
    const auto walk = [&](QDateTime from, int seconds) {
        for (int s = 0; s < seconds; ++s)
            readings.push_back(from.addSecs(s).addMSecs(4));
    };
    walk(QDateTime(day, QTime(23, 59, 50)), 20);
    walk(QDateTime(day, QTime(23, 59, 56)), 12); // set back over midnight
    walk(QDateTime(day.addDays(1), QTime(7, 54, 55)), 10); // set forward

    std::optional<NextStart> predicted;
    std::optional<WallSecond> lastSecond;
    int startsSeen = 0;
    for (const QDateTime& reading : readings) {
        SCOPED_TRACE(reading.toString(Qt::ISODate).toStdString());
        const WallSecond second = wallSecondOf(reading);
        const qsizetype before = h.journal.size();
        tickAt(h, reading);
        const std::vector<int> played = playedSince(h.journal, before);
        // A change of the clock is not foreseen; from the second after it on, the
        // line must hold.
        const bool followsLastTick = lastSecond && second == *lastSecond + 1;
        lastSecond = second;
        if (followsLastTick) {
            EXPECT_GE(predicted->second, second);
            EXPECT_EQ(
                played, predicted->second == second ? predicted->starting : std::vector<int>{});
            startsSeen += played.empty() ? 0 : 1;
        }
        predicted = nextStart(h.timetable(), second, zoneOf(reading));
        ASSERT_TRUE(predicted);
        EXPECT_TRUE(h.c().nextStartLabel->text().contains(
            timeOfDayText(localTimeOf(predicted->second, zoneOf(reading)).time())));
    }
    EXPECT_EQ(startsSeen, 7);
}
