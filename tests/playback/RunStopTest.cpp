#include "FormHarness.h"
#include "window/LabelColour.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString RunNow = QStringLiteral("&RunNow");
const QString Pause = QStringLiteral("&Pause");

QString soundOf(int slot)
{
    return QStringLiteral("/sounds/bell %1.mp3").arg(slot);
}

class RunStop : public ::testing::Test {
protected:
    RunStop()
    {
        h.clock.setTime(QTime(9, 30, 15));
        h.unlock();
    }

    void giveAllFiles()
    {
        for (int i = 0; i < SlotCount; ++i)
            h.giveFile(i, soundOf(i));
        h.journal.clear();
    }
    void clickRun(int slot) { FormHarness::click(h.slot(slot).runButton); }
    void clickStop(int slot) { FormHarness::click(h.slot(slot).stopButton); }

    // The clock reaches the slot's start time in the next second.
    void clockStarts(int slot)
    {
        const QTime second = h.clock.now().time().addSecs(1);
        h.enterStartTime(slot, second);
        h.clock.setTime(second);
        FormHarness::tick(h.c().schedulerTimer);
    }

    QString caption(int slot) { return h.slot(slot).runButton->text(); }
    quint32 colour(int slot) { return LabelColour::of(h.slot(slot).fileNameLabel); }
    bool timerOn(int slot) { return h.c().progressTimer(slot)->isActive(); }
    int playingSlots()
    {
        int count = 0;
        for (int i = 0; i < SlotCount; ++i)
            count += h.player(i).isPlaying() ? 1 : 0;
        return count;
    }
    QStringList pausesOfAllBut(int slot)
    {
        QStringList pauses;
        for (int i = 0; i < SlotCount; ++i)
            if (i != slot)
                pauses << QStringLiteral("pause %1").arg(i);
        return pauses;
    }
    void expectOnlyMarked(int slot)
    {
        for (int i = 0; i < SlotCount; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(colour(i), i == slot ? LabelColour::Red : LabelColour::ButtonText);
            EXPECT_EQ(timerOn(i), i == slot);
        }
    }

    FormHarness h;
};

} // namespace

TEST_F(RunStop, RunNowStartsTheSlotAndMakesItTheOnlyOneThatSounds)
{
    giveAllFiles();
    clickRun(6);

    EXPECT_EQ(h.journal, QStringList{QStringLiteral("play 6")} + pausesOfAllBut(6));
    EXPECT_TRUE(h.player(6).isPlaying());
    EXPECT_EQ(playingSlots(), 1);
    EXPECT_EQ(caption(6), Pause);
    EXPECT_EQ(h.slot(6).startTimeLabel->text(), QStringLiteral("9:30:15"));
    expectOnlyMarked(6);
    EXPECT_TRUE(h.messageBox.shown().empty());
}

TEST_F(RunStop, AStartOnSlot2PausesSlot5ThatPlaysByHand)
{
    giveAllFiles();
    clickRun(5);
    ASSERT_TRUE(h.player(5).isPlaying());
    ASSERT_TRUE(timerOn(5));

    clickRun(2);
    EXPECT_FALSE(h.player(5).isPlaying());
    EXPECT_EQ(caption(5), RunNow);
    EXPECT_FALSE(h.c().progressTimer(5)->isActive());
    EXPECT_EQ(colour(5), LabelColour::ButtonText);
    EXPECT_TRUE(h.player(2).isPlaying());
    EXPECT_EQ(caption(2), Pause);
    EXPECT_EQ(colour(2), LabelColour::Red);
    EXPECT_TRUE(h.c().progressTimer(2)->isActive());
    EXPECT_EQ(playingSlots(), 1);
    for (int i = 0; i < SlotCount; ++i)
        EXPECT_EQ(caption(i), i == 2 ? Pause : RunNow) << i;
}

TEST_F(RunStop, PauseHoldsThePositionAndTheNextRunResumesThere)
{
    giveAllFiles();
    clickRun(3);
    h.player(3).setPosition(42.5);
    h.clock.setTime(QTime(9, 31, 0));

    clickRun(3);
    EXPECT_EQ(h.journal.mid(10), QStringList{QStringLiteral("pause 3")} + pausesOfAllBut(3));
    EXPECT_FALSE(h.player(3).isPlaying());
    EXPECT_EQ(caption(3), RunNow);
    EXPECT_EQ(h.slot(3).startTimeLabel->text(), QStringLiteral("9:31:00"));
    // The display goes on showing the held position.
    expectOnlyMarked(3);

    clickRun(3);
    EXPECT_TRUE(h.player(3).isPlaying());
    EXPECT_DOUBLE_EQ(h.player(3).currentPosition(), 42.5);
    EXPECT_EQ(caption(3), Pause);
    expectOnlyMarked(3);
}

TEST_F(RunStop, PauseLeftAfterTheClockStartedAnotherSlotStartsNothing)
{
    giveAllFiles();
    clickRun(1);
    clockStarts(8);
    ASSERT_EQ(caption(1), Pause);
    h.journal.clear();

    clickRun(1);
    EXPECT_EQ(h.journal, QStringList{QStringLiteral("pause 1")} + pausesOfAllBut(1));
    EXPECT_EQ(playingSlots(), 0);
    EXPECT_EQ(caption(1), RunNow);
    EXPECT_EQ(caption(8), RunNow);
    expectOnlyMarked(1);
}

TEST_F(RunStop, RunNowOnASlotTheClockStartedPlaysOn)
{
    giveAllFiles();
    clockStarts(4);
    h.player(4).setPosition(12);
    ASSERT_EQ(caption(4), RunNow);

    clickRun(4);
    EXPECT_TRUE(h.player(4).isPlaying());
    EXPECT_DOUBLE_EQ(h.player(4).currentPosition(), 12);
    EXPECT_EQ(caption(4), Pause);
    expectOnlyMarked(4);
}

TEST_F(RunStop, TheClickTimeGoesToTheLabelButTheStoredStartTimeStays)
{
    giveAllFiles();
    h.enterStartTime(7, QTime(19, 12, 0));
    ASSERT_EQ(h.slot(7).startTimeLabel->text(), QStringLiteral("19:12:00"));
    h.clock.setTime(QTime(7, 5, 9, 870));

    clickRun(7);
    EXPECT_EQ(h.slot(7).startTimeLabel->text(), QStringLiteral("7:05:09"));
    EXPECT_EQ(h.timetable().slot(7).startTime, QTime(19, 12, 0));
    EXPECT_EQ(h.slot(6).startTimeLabel->text(), QStringLiteral("- - : - - : - -"));
}

TEST_F(RunStop, AClickWritesNoProgressLabelAndChangesNoEnabledFlag)
{
    giveAllFiles();
    clickRun(0);
    clickStop(0);
    for (int i = 0; i < SlotCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(h.slot(i).elapsedLabel->text(), QStringLiteral("- - : - -"));
        EXPECT_EQ(h.slot(i).totalLabel->text(), QStringLiteral("- - : - -"));
        EXPECT_TRUE(h.slot(i).runButton->isEnabled());
        EXPECT_TRUE(h.slot(i).stopButton->isEnabled());
    }
}

// Stop, from each state a slot with a file can be in.
struct StopCase {
    const char* name;
    bool runFirst;
    bool pauseAfter;
};

void PrintTo(const StopCase& c, std::ostream* out)
{
    *out << c.name;
}

class StopFromState : public RunStop, public ::testing::WithParamInterface<StopCase> { };

TEST_P(StopFromState, OpensTheFileAgainAndTheNextRunStartsAtTheBeginning)
{
    giveAllFiles();
    clickRun(8); // another slot, marked and timed, that the stop must leave alone
    clickRun(5);
    if (GetParam().pauseAfter)
        clickRun(5);
    if (!GetParam().runFirst)
        clickRun(8);
    h.player(5).setPosition(73.2);
    const bool timerBefore = timerOn(5);
    const quint32 colourBefore = colour(5);
    const QString startLabelBefore = h.slot(5).startTimeLabel->text();
    h.journal.clear();

    clickStop(5);
    EXPECT_EQ(h.journal,
        (QStringList{QStringLiteral("pause 5"), QStringLiteral("open 5 ") + soundOf(5)}));
    EXPECT_FALSE(h.player(5).isPlaying());
    EXPECT_DOUBLE_EQ(h.player(5).currentPosition(), 0);
    EXPECT_EQ(caption(5), RunNow);
    EXPECT_EQ(timerOn(5), timerBefore);
    EXPECT_EQ(colour(5), colourBefore);
    EXPECT_EQ(h.slot(5).startTimeLabel->text(), startLabelBefore);

    clickRun(5);
    EXPECT_TRUE(h.player(5).isPlaying());
    EXPECT_DOUBLE_EQ(h.player(5).currentPosition(), 0);
}

INSTANTIATE_TEST_SUITE_P(RunStop, StopFromState,
    ::testing::Values(StopCase{"playing", true, false}, StopCase{"paused", true, true},
        StopCase{"idle_while_another_plays", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunStop, StopOfAPlayingSlotLeavesEveryOtherSlotAlone)
{
    giveAllFiles();
    clickRun(2);
    clockStarts(6); // slot 2 keeps "&Pause" while silent
    h.journal.clear();

    clickStop(2);
    EXPECT_EQ(h.journal,
        (QStringList{QStringLiteral("pause 2"), QStringLiteral("open 2 ") + soundOf(2)}));
    EXPECT_TRUE(h.player(6).isPlaying());
    EXPECT_EQ(caption(2), RunNow);
    expectOnlyMarked(6);
}

TEST_F(RunStop, ASlotWithoutAFileCanBeNeitherRunNorStopped)
{
    h.giveFile(4, soundOf(4));
    h.journal.clear();
    for (int slot : {0, 3}) {
        SCOPED_TRACE(slot);
        clickRun(slot);
        clickStop(slot);
        EXPECT_EQ(caption(slot), RunNow);
        EXPECT_EQ(h.slot(slot).startTimeLabel->text(), QStringLiteral("- - : - - : - -"));
    }
    EXPECT_TRUE(h.journal.isEmpty());
    EXPECT_TRUE(h.messageBox.shown().empty());
}

TEST_F(RunStop, StopOfSlot0TurnsItsLabelBlackButSlot4KeepsItsColour)
{
    giveAllFiles();
    clickRun(0);
    clickStop(0);
    EXPECT_EQ(colour(0), LabelColour::Black);

    clickRun(4);
    clickStop(4);
    EXPECT_EQ(colour(4), LabelColour::Red);
    EXPECT_EQ(colour(0), LabelColour::ButtonText);
}

TEST_F(RunStop, ARefusedPlayIsReportedOnceAndChangesNothing)
{
    giveAllFiles();
    clickRun(5);
    h.player(2).failPlayWith(QStringLiteral("no sound output device"));
    h.messageBox.answerNext(MessageAnswer::Ok);
    h.journal.clear();

    clickRun(2);
    ASSERT_EQ(h.messageBox.shown().size(), 1u);
    EXPECT_EQ(h.messageBox.shown().front().text,
        QStringLiteral("Slot 3: /sounds/bell 2.mp3: no sound output device"));
    EXPECT_EQ(h.journal, QStringList{QStringLiteral("play 2")});
    // Slot 2 does not claim to play, and slot 5 plays on as before.
    EXPECT_EQ(caption(2), RunNow);
    EXPECT_EQ(h.slot(2).startTimeLabel->text(), QStringLiteral("- - : - - : - -"));
    EXPECT_TRUE(h.player(5).isPlaying());
    EXPECT_EQ(caption(5), Pause);
    expectOnlyMarked(5);
    EXPECT_EQ(h.programExit.calls(), 0);
}

TEST_F(RunStop, AReasonThatNamesTheFileIsNotPrefixedAgain)
{
    giveAllFiles();
    h.player(1).failPlayWith(QStringLiteral("bell 1.mp3: the sound device is busy"));
    h.messageBox.answerNext(MessageAnswer::Ok);
    clickRun(1);
    ASSERT_EQ(h.messageBox.shown().size(), 1u);
    EXPECT_EQ(h.messageBox.shown().front().text,
        QStringLiteral("Slot 2: bell 1.mp3: the sound device is busy"));
}

TEST_F(RunStop, AStopWhoseFileIsGoneStillSilencesTheSlot)
{
    giveAllFiles();
    clickRun(0);
    h.player(0).setPosition(30);
    h.player(0).failOpenWith(QStringLiteral("/sounds/bell 0.mp3: no such file"));
    h.messageBox.answerNext(MessageAnswer::Ok);
    h.journal.clear();

    clickStop(0);
    ASSERT_EQ(h.messageBox.shown().size(), 1u);
    EXPECT_EQ(h.messageBox.shown().front().text,
        QStringLiteral("Slot 1: /sounds/bell 0.mp3: no such file"));
    // Silent at once, before the file answers.
    EXPECT_EQ(h.journal,
        (QStringList{QStringLiteral("pause 0"), QStringLiteral("open 0 /sounds/bell 0.mp3")}));
    EXPECT_FALSE(h.player(0).isPlaying());
    EXPECT_EQ(caption(0), RunNow);
    EXPECT_EQ(h.programExit.calls(), 0);
}

TEST_F(RunStop, TheButtonsOfEverySlotAreWired)
{
    giveAllFiles();
    for (int i = 0; i < SlotCount; ++i) {
        SCOPED_TRACE(i);
        h.journal.clear();
        clickRun(i);
        EXPECT_EQ(h.journal.value(0), QStringLiteral("play %1").arg(i));
        h.journal.clear();
        clickStop(i);
        EXPECT_EQ(h.journal,
            (QStringList{QStringLiteral("pause %1").arg(i),
                QStringLiteral("open %1 ").arg(i) + soundOf(i)}));
    }
}
