#include "../schedule/ScheduleSteps.h"
#include "window/LabelColour.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// A file that takes its time to open must not let its answer undo what
// happened meanwhile: a lock, a start, a warning, the end of the program.
namespace {

const QString Bell = QStringLiteral("/sounds/bell.mp3");
const QString Chime = QStringLiteral("/sounds/chime.mp3");

void choose(FormHarness& h, int slot, const QString& path)
{
    h.dialog(slot).chooseNext(path);
    FormHarness::click(h.slot(slot).chooseFileButton);
}

// Slot 3 plays bell.mp3 and starts again at 10:00:00; the window is unlocked
// and every open() of slot 3 waits for the test from now on.
void setUp(FormHarness& h)
{
    h.unlock();
    choose(h, 3, Bell);
    h.enterStartTime(3, QTime(10, 0));
    h.player(3).holdOpens();
    tickAt(h, QTime(9, 59, 59, 5));
}

} // namespace

TEST(LateAnswers, AFileOpenedAfterTheWindowWasLockedLeavesItLocked)
{
    FormHarness h;
    setUp(h);
    choose(h, 3, Chime);
    FormHarness::click(h.c().lockButton);
    h.journal.clear();
    ASSERT_TRUE(h.player(3).answerHeldOpen());

    EXPECT_EQ(h.slot(3).fileNameLabel->text(), QStringLiteral("chime"));
    for (QPushButton* b : {h.slot(3).runButton, h.slot(3).setTimeButton, h.slot(3).stopButton})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(h.journal.isEmpty()) << "nothing plays";
}

TEST(LateAnswers, AStartMadeWhileAFileOpensIsNotSilencedByItsAnswer)
{
    for (const bool byStop : {true, false}) {
        SCOPED_TRACE(byStop ? "Stop" : "Select");
        FormHarness h;
        setUp(h);
        if (byStop)
            FormHarness::click(h.slot(3).stopButton);
        else
            choose(h, 3, Chime);
        tickAt(h, QTime(10, 0, 0, 5));
        ASSERT_TRUE(h.player(3).isPlaying());
        ASSERT_TRUE(h.player(3).answerHeldOpen());

        EXPECT_TRUE(h.player(3).isPlaying());
        EXPECT_EQ(h.player(3).file(), Bell);
        EXPECT_EQ(h.slot(3).fileNameLabel->text(), QStringLiteral("bell"));
        EXPECT_EQ(LabelColour::of(h.slot(3).fileNameLabel), LabelColour::Red);
        // The operator's choice is not dropped silently.
        EXPECT_EQ(h.c().statusLine->isVisible(), !byStop);
    }
}

TEST(LateAnswers, AnAnswerAfterTheEndIsIgnoredAndPlacesNothing)
{
    FormHarness h;
    setUp(h);
    choose(h, 3, Chime);
    h.messageBox.answerNext(MessageAnswer::Ok);
    FormHarness::click(h.c().quitButton);
    ASSERT_EQ(h.programExit.calls(), 1);
    ASSERT_TRUE(h.player(3).answerHeldOpen());

    EXPECT_EQ(h.messageBox.shown().size(), 1u) << "no box after the end";
    EXPECT_FALSE(h.player(3).armedFor());
    EXPECT_EQ(h.player(3).file(), Bell);
}

TEST(LateAnswers, ARefusedChoiceKeepsTheWarningOfTheFileKept)
{
    FormHarness h;
    setUp(h);
    h.fileCheck.breakFile(Bell, QStringLiteral("was changed after it was chosen"));
    h.finishChecks();
    tickAt(h, QTime(9, 59, 59, 900));
    h.finishChecks();
    ASSERT_TRUE(h.c().statusLine->toolTip().contains(QStringLiteral("bell.mp3 was changed")));

    h.player(3).failOpenWith(QStringLiteral("/sounds/notes.txt: this is not an MP3 file"));
    h.messageBox.answerNext(MessageAnswer::Ok);
    choose(h, 3, QStringLiteral("/sounds/notes.txt"));
    ASSERT_TRUE(h.player(3).answerHeldOpen());
    tickAt(h, QTime(9, 59, 59, 950));
    h.finishChecks();
    EXPECT_TRUE(h.c().statusLine->toolTip().contains(QStringLiteral("bell.mp3 was changed")));
}

TEST(LateAnswers, AHungCheckIsReportedAndTheOtherSlotsAreStillChecked)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell"), QTime(10, 0));
    giveSlot(h, 5, QStringLiteral("horn"), QTime(10, 0, 5));
    tickAt(h, QTime(9, 59, 0, 5));
    h.finishChecks();
    h.fileCheck.hang(Bell);
    h.fileCheck.breakFile(QStringLiteral("/sounds/horn.mp3"), QStringLiteral("is no longer there"));
    QPushButton* status = h.c().statusLine;
    for (int s = 0; s < 7; ++s) {
        h.clock.advanceMs(1000);
        FormHarness::tick(h.c().schedulerTimer);
    }
    // The other slot's answer comes back through the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return status->toolTip().contains(QStringLiteral("horn.mp3 is no longer there"));
    })) << status->toolTip().toStdString();
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("bell.mp3 does not answer")))
        << status->toolTip().toStdString();
    h.fileCheck.release();
}

TEST(HeardStarts, APlacedStartThatSoundedWhileTheProgramWasHeldUpIsLoggedAsStarted)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell"), QTime(10, 0));
    tickAt(h, QTime(9, 59, 59, 5));
    ASSERT_TRUE(h.player(3).armedFor());
    // The mixer started it on its second; the tick comes 8 s later.
    h.player(3).setFirstSampleMs(0.2);
    h.clock.advanceMs(8000);
    testing::internal::CaptureStderr();
    FormHarness::tick(h.c().schedulerTimer);
    const QString log = QString::fromStdString(testing::internal::GetCapturedStderr());

    EXPECT_TRUE(log.contains(QStringLiteral("Slot 4: started bell scheduled for 10:00:00")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("first sample +0.2 ms")));
    EXPECT_FALSE(log.contains(QStringLiteral("missed")));
    EXPECT_EQ(LabelColour::of(h.slot(3).fileNameLabel), LabelColour::Red);
    EXPECT_TRUE(h.c().progressTimer(3)->isActive());
}

TEST(HeardStarts, AStartNotHeardIsReportedNamingTheOutput)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell"), QTime(10, 0));
    h.player(3).setFirstSampleMs(std::nullopt);
    tickAt(h, QTime(10, 0, 0, 5));
    EXPECT_FALSE(h.c().statusLine->isVisible()) << "its first sample may still come";
    tickAt(h, QTime(10, 0, 1, 5));
    EXPECT_TRUE(h.c().statusLine->text().contains(
        QStringLiteral("started bell scheduled for 10:00:00, 5 ms late, but it was not heard: "
                       "its file gave no sound in time")))
        << h.c().statusLine->text().toStdString();
}
