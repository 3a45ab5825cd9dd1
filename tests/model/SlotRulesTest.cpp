#include "SlotRules.h"

#include <gtest/gtest.h>

namespace {

SlotState withFile(const QString& path, const QString& name, std::optional<QTime> start = {})
{
    SlotState s;
    s.path = path;
    s.name = name;
    s.startTime = start;
    return s;
}

} // namespace

TEST(HasFile, SlotZeroGoesByThePathTheOthersByTheName)
{
    const SlotState none;
    const SlotState bell = withFile(QStringLiteral("/s/bell.mp3"), QStringLiteral("bell"));
    const SlotState onlyExtension = withFile(QStringLiteral("/s/.mp3"), QString());
    for (int slot : {0, 5}) {
        SCOPED_TRACE(slot);
        EXPECT_FALSE(hasFile(none, slot));
        EXPECT_TRUE(hasFile(bell, slot));
    }
    EXPECT_TRUE(hasFile(onlyExtension, 0));
    EXPECT_FALSE(hasFile(onlyExtension, 5));
}

TEST(IsDue, NeedsTheSameSecondOfTheDayAndAFile)
{
    const QTime second(19, 12, 0);
    const auto due = [&](std::optional<QTime> start, const QString& name, QTime at, int slot = 3) {
        return isDue(withFile(QStringLiteral("/s/x.mp3"), name, start), slot, at);
    };
    const QString file = QStringLiteral("bell");
    EXPECT_TRUE(due(QTime(19, 12, 0), file, second));
    EXPECT_TRUE(due(QTime(19, 12, 0), file, QTime(19, 12, 0, 999)));
    EXPECT_TRUE(due(QTime(0, 0, 0), file, QTime(0, 0, 0)));
    EXPECT_FALSE(due(QTime(19, 12, 1), file, second));
    EXPECT_FALSE(due(QTime(19, 11, 59), file, second));
    EXPECT_FALSE(due(QTime(7, 12, 0), file, second));
    EXPECT_FALSE(due(QTime(19, 12, 0), QString(), second));
    EXPECT_TRUE(due(QTime(19, 12, 0), QString(), second, 0)) << "slot 0 goes by its path";
    EXPECT_FALSE(due(std::nullopt, file, second));
    EXPECT_FALSE(due(QTime(), file, QTime(0, 0, 0)));
}

TEST(SlotsPausedByAStart, AreAllTheOthersAscending)
{
    EXPECT_EQ(slotsPausedByStartOf(0), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(slotsPausedByStartOf(4), (std::vector<int>{0, 1, 2, 3, 5, 6, 7, 8, 9}));
}

TEST(JudgeAnswer, StaleBeforeRefusedBeforeStartedMeanwhile)
{
    struct Case {
        const char* what;
        std::optional<int> awaited;
        int startsNow;
        bool ended;
        bool refused;
        AnswerVerdict verdict;
    };
    const OpenTicket asked{2, 5};
    const Case cases[] = {
        {"taken", 2, 5, false, false, AnswerVerdict::Taken},
        {"a later open", 3, 5, false, false, AnswerVerdict::Stale},
        {"already answered", std::nullopt, 5, false, false, AnswerVerdict::Stale},
        {"after the end", 2, 5, true, true, AnswerVerdict::Stale},
        {"refused", 2, 5, false, true, AnswerVerdict::Refused},
        {"refused after a start", 2, 6, false, true, AnswerVerdict::Refused},
        {"started meanwhile", 2, 6, false, false, AnswerVerdict::StartedMeanwhile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SlotState now;
        now.awaitedOpen = c.awaited;
        now.starts = c.startsNow;
        EXPECT_EQ(judgeAnswer(asked, now, c.ended, c.refused), c.verdict);
    }
}

TEST(ControlsEnabled, LockedOnlyUnlockUnlockedTheSlotsWithAFile)
{
    std::array<SlotState, SlotCount> rows{};
    rows[0] = withFile(QStringLiteral("/s/.mp3"), QString());
    rows[3] = withFile(QStringLiteral("/s/bell.mp3"), QStringLiteral("bell"));
    rows[7] = withFile(QStringLiteral("/s/.mp3"), QString());

    const ControlsEnabled locked = controlsEnabled(rows, true);
    EXPECT_TRUE(locked.unlock);
    EXPECT_FALSE(locked.lock || locked.quit);
    for (const SlotButtonsEnabled& s : locked.rows)
        EXPECT_EQ(s, SlotButtonsEnabled{});

    const ControlsEnabled unlocked = controlsEnabled(rows, false);
    EXPECT_FALSE(unlocked.unlock);
    EXPECT_TRUE(unlocked.lock && unlocked.quit);
    for (int i = 0; i < SlotCount; ++i) {
        SCOPED_TRACE(i);
        const bool usable = i == 0 || i == 3;
        EXPECT_EQ(
            unlocked.rows[std::size_t(i)], (SlotButtonsEnabled{true, usable, usable, usable}));
    }
}
