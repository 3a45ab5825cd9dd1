#include "ScheduleSteps.h"
#include "window/LabelColour.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

bool onlyProgressTimerRunning(FormHarness& h, int slot)
{
    for (int j = 0; j < SlotCount; ++j)
        if (h.c().progressTimer(j)->isActive() != (j == slot))
            return false;
    return true;
}

void expectOnlyRed(FormHarness& h, int slot)
{
    for (int j = 0; j < SlotCount; ++j)
        EXPECT_EQ(LabelColour::of(h.slot(j).fileNameLabel),
            j == slot ? LabelColour::Red : LabelColour::ButtonText)
            << "label " << j;
}

} // namespace

TEST(ScheduledStart, ADueSlotPlaysAndEveryOtherSlotIsPausedInOrder)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell.mp3"), QTime(19, 12, 0));
    tickAt(h, QTime(19, 11, 59, 2));
    h.journal.clear();
    tickAt(h, QTime(19, 12, 0, 2));

    EXPECT_EQ(h.journal, startCalls(3));
    EXPECT_TRUE(h.player(3).isPlaying());
    expectOnlyRed(h, 3);
    EXPECT_TRUE(onlyProgressTimerRunning(h, 3));
    EXPECT_EQ(h.slot(3).runButton->text(), QStringLiteral("&RunNow"));
}

TEST(ScheduledStart, HappensWhileLockedAndChangesNoButtonStartTimeOrLabel)
{
    FormHarness h;
    giveSlot(h, 6, QStringLiteral("gong.mp3"), QTime(7, 30, 0));
    tickAt(h, QTime(7, 29, 59, 1));
    tickAt(h, QTime(7, 30, 0, 1));

    EXPECT_TRUE(h.player(6).isPlaying());
    EXPECT_TRUE(h.c().unlockButton->isEnabled());
    EXPECT_FALSE(h.c().lockButton->isEnabled());
    EXPECT_FALSE(h.c().quitButton->isEnabled());
    for (int j = 0; j < SlotCount; ++j) {
        const SlotControls& s = h.slot(j);
        for (QPushButton* b : {s.chooseFileButton, s.setTimeButton, s.runButton, s.stopButton})
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_EQ(s.elapsedLabel->text(), QStringLiteral("- - : - -"));
    }
    EXPECT_EQ(h.timetable().slot(6).startTime, QTime(7, 30, 0));
    EXPECT_EQ(h.slot(6).startTimeLabel->text(), QStringLiteral("7:30:00"));
}

TEST(ScheduledStart, SlotsDueTogetherStartInAscendingOrderAndTheHighestPlays)
{
    FormHarness h;
    for (int i : {7, 1, 4})
        giveSlot(h, i, QStringLiteral("slot%1.mp3").arg(i), QTime(12, 0, 0));
    // Slot 7 started by hand offers the pause until the clock starts it.
    runByHand(h, 7);
    ASSERT_EQ(h.slot(7).runButton->text(), QStringLiteral("&Pause"));
    tickAt(h, QTime(11, 59, 59, 3));
    h.journal.clear();
    tickAt(h, QTime(12, 0, 0, 3));

    EXPECT_EQ(h.journal, startCalls(1) + startCalls(4) + startCalls(7));
    EXPECT_TRUE(h.player(7).isPlaying());
    EXPECT_FALSE(h.player(1).isPlaying());
    EXPECT_FALSE(h.player(4).isPlaying());
    expectOnlyRed(h, 7);
    EXPECT_TRUE(onlyProgressTimerRunning(h, 7));
    for (int i : {1, 4, 7})
        EXPECT_EQ(h.slot(i).runButton->text(), QStringLiteral("&RunNow")) << i;
}

TEST(ScheduledStart, ASlotWithoutFileNameOrStartTimeNeverStarts)
{
    struct Case {
        const char* what;
        QString name;
        std::optional<QTime> startTime;
    };
    const Case cases[] = {
        {"a file named only by its extension", QString(), QTime(9, 0, 0)},
        {"no start time", QStringLiteral("bell"), std::nullopt},
        {"another second", QStringLiteral("bell"), QTime(9, 0, 1)},
        {"same time in the afternoon", QStringLiteral("bell"), QTime(21, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FormHarness h;
        giveSlot(h, 2, c.name, c.startTime);
        ASSERT_EQ(h.player(2).file(), QStringLiteral("/sounds/%1.mp3").arg(c.name));
        h.journal.clear();
        tickAt(h, QTime(8, 59, 59, 5));
        tickAt(h, QTime(9, 0, 0, 5));

        EXPECT_TRUE(h.journal.isEmpty());
        EXPECT_EQ(LabelColour::of(h.slot(2).fileNameLabel), LabelColour::SlotText);
        EXPECT_TRUE(onlyProgressTimerRunning(h, -1));
    }
}

TEST(ScheduledStart, AStartTimeOfMidnightStartsAsTheDayChanges)
{
    FormHarness h;
    giveSlot(h, 0, QStringLiteral("midnight.mp3"), QTime(0, 0, 0));
    tickAt(h, QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59, 4)));
    EXPECT_FALSE(h.player(0).isPlaying());
    tickAt(h, QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0, 4)));
    EXPECT_TRUE(h.player(0).isPlaying());
}

TEST(ScheduledStart, ASlotStartsAgainTheNextDay)
{
    FormHarness h;
    giveSlot(h, 5, QStringLiteral("bell.mp3"), QTime(10, 0, 0));
    h.journal.clear();
    const QDate today(2026, 12, 7);
    for (const QDate day : {today, today.addDays(1)})
        for (int s : {58, 59})
            tickAt(h, QDateTime(day, QTime(9, 59, s, 2)));
    tickAt(h, QDateTime(today.addDays(1), QTime(10, 0, 0, 2)));
    EXPECT_EQ(count(h.journal, QStringLiteral("play 5")), 1);

    tickAt(h, QDateTime(today.addDays(2), QTime(9, 59, 59, 2)));
    tickAt(h, QDateTime(today.addDays(2), QTime(10, 0, 0, 2)));
    EXPECT_EQ(count(h.journal, QStringLiteral("play 5")), 2);
    EXPECT_EQ(h.timetable().slot(5).startTime, QTime(10, 0, 0));
}

TEST(ScheduledStart, ASlotPausedInMidFileResumesWhereItStood)
{
    FormHarness h;
    giveSlot(h, 4, QStringLiteral("speech.mp3"), QTime(15, 0, 0));
    h.player(4).play();
    h.player(4).setPosition(42.5);
    h.player(4).pause();
    tickAt(h, QTime(14, 59, 59, 1));
    h.journal.clear();
    tickAt(h, QTime(15, 0, 0, 1));

    EXPECT_EQ(h.journal.first(), QStringLiteral("play 4"));
    EXPECT_TRUE(h.journal.filter(QStringLiteral("open 4")).isEmpty());
    EXPECT_TRUE(h.player(4).isPlaying());
    EXPECT_DOUBLE_EQ(h.player(4).currentPosition(), 42.5);
}

TEST(ScheduledStart, ASlotPlayingByHandIsPausedButKeepsItsPauseCaption)
{
    FormHarness h;
    giveSlot(h, 2, QStringLiteral("music.mp3"), std::nullopt);
    giveSlot(h, 5, QStringLiteral("bell.mp3"), QTime(11, 0, 0));
    runByHand(h, 2);
    ASSERT_TRUE(h.player(2).isPlaying());
    ASSERT_TRUE(onlyProgressTimerRunning(h, 2));
    tickAt(h, QTime(10, 59, 59, 8));
    tickAt(h, QTime(11, 0, 0, 8));

    EXPECT_FALSE(h.player(2).isPlaying());
    EXPECT_EQ(h.slot(2).runButton->text(), QStringLiteral("&Pause"));
    expectOnlyRed(h, 5);
    EXPECT_TRUE(onlyProgressTimerRunning(h, 5));
}

TEST(SchedulingClock, IsReArmedOnEveryTickToFireJustAfterTheNextSecond)
{
    FormHarness h;
    QTimer* timer1 = h.c().schedulerTimer;
    tickAt(h, QTime(10, 0, 0, 4));
    EXPECT_TRUE(timer1->isActive());
    EXPECT_TRUE(timer1->isSingleShot());
    EXPECT_EQ(timer1->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(timer1->interval(), 996);

    tickAt(h, QTime(10, 0, 1, 730));
    EXPECT_EQ(timer1->interval(), 270);
}

TEST(SchedulingClock, NothingTicksOrReArmsAfterTheProgramEnded)
{
    FormHarness h;
    giveSlot(h, 1, QStringLiteral("bell.mp3"), QTime(8, 0, 1));
    tickAt(h, QTime(8, 0, 0, 5));
    h.unlock();
    h.messageBox.answerNext(MessageAnswer::Ok);
    FormHarness::click(h.c().quitButton);
    ASSERT_EQ(h.programExit.calls(), 1);
    h.journal.clear();

    tickAt(h, QTime(8, 0, 1, 5));
    EXPECT_FALSE(h.c().schedulerTimer->isActive());
    EXPECT_TRUE(h.journal.isEmpty());
}

TEST(SchedulingClock, ItsTimerDrivesTheTick)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell.mp3"), QTime(10, 0, 1));
    // Armed to fire a millisecond later; the clock has moved on by then.
    tickAt(h, QTime(10, 0, 0, 999));
    h.clock.setTime(QTime(10, 0, 1, 1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.player(3).isPlaying(); }, 2000));
}

TEST(SchedulingClock, TheClockAndTheScheduleRunOnWhileAModalBoxIsOpen)
{
    FormHarness h;
    giveSlot(h, 3, QStringLiteral("bell.mp3"), QTime(10, 0, 1));
    tickAt(h, QTime(10, 0, 0, 999));
    h.clock.setTime(QTime(10, 0, 1, 1));

    QDialog box(&h.form());
    QTimer watch;
    watch.callOnTimeout([&] {
        if (h.player(3).isPlaying() && h.c().clockLabel->text() == QStringLiteral("10:00:01"))
            box.accept();
    });
    watch.start(10);
    QTimer::singleShot(2000, &box, &QDialog::reject);
    EXPECT_EQ(box.exec(), QDialog::Accepted);
}
