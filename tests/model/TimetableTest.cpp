#include "model/Timetable.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// As after the operator chose the file and the player took it.
void choose(Timetable& t, int slot, const QString& path)
{
    const OpenTicket ticket = t.askOpen(slot);
    ASSERT_EQ(t.answerOpen(slot, ticket, false), AnswerVerdict::Taken);
    t.takeFile(slot, path);
}

std::vector<RunClick> nextClicks(const Timetable& t)
{
    std::vector<RunClick> clicks;
    for (const SlotState& s : t.all())
        clicks.push_back(s.nextClick);
    return clicks;
}

std::vector<FileMark> marks(const Timetable& t)
{
    std::vector<FileMark> all;
    for (const SlotState& s : t.all())
        all.push_back(s.mark);
    return all;
}

std::vector<FileMark> soundingMarks(int slot)
{
    std::vector<FileMark> all(SlotCount, FileMark::Quiet);
    all[std::size_t(slot)] = FileMark::Sounding;
    return all;
}

} // namespace

TEST(RunClick, StartsThenHoldsAndAStartOffersEveryOtherSlotAStart)
{
    Timetable t;
    t.runClicked(1, RunClick::Start, QTime(9, 0));
    t.runClicked(5, RunClick::Start, QTime(9, 1));
    std::vector<RunClick> expected(SlotCount, RunClick::Start);
    expected[5] = RunClick::Hold;
    EXPECT_EQ(nextClicks(t), expected) << "slot 1 offers a start again";
    EXPECT_EQ(t.slot(5).starts, 1);
    EXPECT_EQ(t.slot(5).shownTime, QTime(9, 1));

    t.runClicked(5, RunClick::Hold, QTime(9, 2));
    EXPECT_EQ(nextClicks(t), std::vector<RunClick>(SlotCount, RunClick::Start));
    EXPECT_EQ(t.slot(5).starts, 1) << "a hold is no start";
    EXPECT_EQ(t.sounding(), 5) << "a held slot is still the one touched last";
}

TEST(RunClick, ASlotTheClockStartedOffersAStartWhilePlayingAndOthersKeepTheirHold)
{
    Timetable t;
    t.runClicked(2, RunClick::Start, QTime(9, 0));
    t.startedOnSchedule(6, QDate(2026, 5, 4));
    EXPECT_EQ(t.slot(6).nextClick, RunClick::Start);
    EXPECT_EQ(t.slot(2).nextClick, RunClick::Hold) << "a hold left on a slot the clock paused";
    EXPECT_EQ(t.sounding(), 6);
    EXPECT_EQ(marks(t), soundingMarks(6));
}

TEST(SoundingSlot, IsTheLastOfSeveralStartsInOneSecond)
{
    Timetable t;
    for (int slot : {1, 4, 7}) {
        choose(t, slot, QStringLiteral("/s/bell%1.mp3").arg(slot));
        t.setStartTime(slot, QTime(12, 0));
    }
    const std::vector<int> due = t.dueAt(QTime(12, 0, 0, 300));
    ASSERT_EQ(due, (std::vector<int>{1, 4, 7}));
    for (int slot : due)
        t.startedOnSchedule(slot, QDate(2026, 5, 4));
    EXPECT_EQ(t.sounding(), 7);
    EXPECT_EQ(marks(t), soundingMarks(7));
    for (int slot : due)
        EXPECT_EQ(t.slot(slot).starts, 1);
}

TEST(Stop, OffersAStartAndMarksOnlySlotZeroWithAFileStopped)
{
    Timetable t;
    t.runClicked(0, RunClick::Start, QTime(9, 0));
    t.stopped(0);
    EXPECT_EQ(t.slot(0).nextClick, RunClick::Start);
    EXPECT_EQ(t.slot(0).mark, FileMark::Sounding) << "no file: only the caption";

    choose(t, 0, QStringLiteral("/s/bell.mp3"));
    choose(t, 4, QStringLiteral("/s/gong.mp3"));
    t.stopped(0);
    t.stopped(4);
    EXPECT_EQ(t.slot(0).mark, FileMark::Stopped);
    EXPECT_EQ(t.slot(4).mark, FileMark::Quiet);
    t.runClicked(4, RunClick::Start, QTime(9, 1));
    EXPECT_EQ(marks(t), soundingMarks(4)) << "the next sounding slot clears the mark";
}

TEST(LateAnswer, AStartSinceTheAskAndALaterAskOvertakeIt)
{
    Timetable t;
    choose(t, 3, QStringLiteral("/s/bell.mp3"));
    const OpenTicket first = t.askOpen(3);
    const OpenTicket second = t.askOpen(3);
    EXPECT_EQ(t.answerOpen(3, first, false), AnswerVerdict::Stale);
    t.startedOnSchedule(3, QDate(2026, 5, 4));
    EXPECT_EQ(t.answerOpen(3, second, false), AnswerVerdict::StartedMeanwhile);
    EXPECT_EQ(t.answerOpen(3, second, false), AnswerVerdict::Stale) << "answered once only";

    const OpenTicket afterEnd = t.askOpen(3);
    t.end();
    EXPECT_EQ(t.answerOpen(3, afterEnd, true), AnswerVerdict::Stale);
}

TEST(TakeFile, ShowsTheBaseNameOffersAStartAndCountsTheChoice)
{
    Timetable t;
    t.runClicked(2, RunClick::Start, QTime(9, 0));
    t.setStartTime(2, QTime(19, 12));
    choose(t, 2, QStringLiteral("/home/op/铃声/课间 铃.mp3"));
    choose(t, 2, QStringLiteral("/home/op/铃声/课间 铃.mp3"));
    EXPECT_EQ(t.slot(2).name, QStringLiteral("课间 铃"));
    EXPECT_EQ(t.slot(2).choices, 2);
    EXPECT_EQ(t.slot(2).nextClick, RunClick::Start);
    EXPECT_EQ(t.slot(2).startTime, QTime(19, 12)) << "a file is not a start time";
}

TEST(Timetable, EveryOperationThatChangesWhatIsShownSaysSo)
{
    Timetable t;
    QSignalSpy changed(&t, &Timetable::changed);
    t.setStartTime(1, QTime(8, 0));
    t.takeFile(1, QStringLiteral("/s/a.mp3"));
    t.runClicked(1, RunClick::Start, QTime(8, 0));
    t.startedOnSchedule(1, QDate(2026, 5, 4));
    t.stopped(1);
    t.lock();
    t.unlock();
    t.end();
    EXPECT_EQ(changed.count(), 8);
}
