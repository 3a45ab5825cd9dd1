#include "model/SlotRules.h"

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
    struct Case {
        const char* what;
        bool locked;
        int slot;
        SlotState row;
        bool lock, unlock, quit;
        SlotButtonsEnabled buttons;
    };
    const SlotState bell = withFile(QStringLiteral("/s/bell.mp3"), QStringLiteral("bell"));
    const SlotState onlyExtension = withFile(QStringLiteral("/s/.mp3"), QString());
    const SlotState onlyName = withFile(QString(), QStringLiteral("bell"));
    const Case cases[] = {
        {"locked, a file", true, 3, bell, false, true, false, {false, false, false, false}},
        {"locked, slot 0", true, 0, onlyExtension, false, true, false,
            {false, false, false, false}},
        {"a file", false, 3, bell, true, false, true, {true, true, true, true}},
        {"no file", false, 3, SlotState{}, true, false, true, {true, false, false, false}},
        {"slot 0, only a path", false, 0, onlyExtension, true, false, true,
            {true, true, true, true}},
        {"slot 7, only a path", false, 7, onlyExtension, true, false, true,
            {true, false, false, false}},
        {"slot 9, only a name", false, 9, onlyName, true, false, true, {true, true, true, true}},
        {"slot 0, only a name", false, 0, onlyName, true, false, true, {true, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::array<SlotState, SlotCount> rows{};
        rows[std::size_t(c.slot)] = c.row;
        const ControlsEnabled enabled = controlsEnabled(rows, c.locked);
        EXPECT_EQ(enabled.lock, c.lock);
        EXPECT_EQ(enabled.unlock, c.unlock);
        EXPECT_EQ(enabled.quit, c.quit);
        for (int i = 0; i < SlotCount; ++i) {
            SCOPED_TRACE(i);
            // Every other row is empty: at most its "&Select".
            const SlotButtonsEnabled empty{!c.locked, false, false, false};
            EXPECT_EQ(enabled.rows[std::size_t(i)], i == c.slot ? c.buttons : empty);
        }
    }
}
