#include "FormHarness.h"
#include "errors/HandlerFailures.h"

#include <QPushButton>

#include <gtest/gtest.h>

TEST(ErrorPolicy, AFailingClickStepIsShownOnceNamingTheSlotAndSkipsTheRest)
{
    FormHarness h;
    h.messageBox.answerNext(MessageAnswer::Ok);
    bool laterStepRan = false;
    const bool done = runClickSteps(h.form().errors(), 4, [&] {
        h.player(4).failPlayWith(QStringLiteral("bell.mp3: no sound output"));
        h.player(4).play();
        laterStepRan = true;
    });
    EXPECT_FALSE(done);
    EXPECT_FALSE(laterStepRan);
    ASSERT_EQ(h.messageBox.shown().size(), 1u);
    EXPECT_EQ(
        h.messageBox.shown().front().text, QStringLiteral("Slot 5: bell.mp3: no sound output"));
    EXPECT_EQ(h.messageBox.shown().front().icon, MessageIcon::Critical);
    EXPECT_EQ(h.programExit.calls(), 0);
}

TEST(ErrorPolicy, AFailingTickStepGoesToTheStatusLineWithoutABox)
{
    FormHarness h;
    h.clock.setTime(QTime(10, 0, 1));
    const bool done = runTickSteps(h.form().errors(), 0,
        [&] { throw PlatformError(QStringLiteral("gong.mp3: no sound output")); });
    EXPECT_FALSE(done);
    EXPECT_TRUE(h.messageBox.shown().empty());
    QPushButton* status = h.c().statusLine;
    EXPECT_TRUE(status->isVisible());
    EXPECT_TRUE(status->text().contains(QStringLiteral("Slot 1: gong.mp3: no sound output")));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("10:00:01")));

    // The line stays until the operator acknowledges it, even while locked.
    FormHarness::click(status);
    EXPECT_FALSE(status->isVisible());
}

TEST(ErrorPolicy, AnyExceptionIsCaughtAtTheEdge)
{
    FormHarness h;
    EXPECT_FALSE(runTickSteps(h.form().errors(), 2, [] { throw std::bad_alloc(); }));
    EXPECT_TRUE(h.c().statusLine->isVisible());
}

TEST(ErrorPolicy, TheStatusLineKeepsEveryProblemAndWarningsUntilTheyAreMended)
{
    FormHarness h;
    ErrorReporter& errors = h.form().errors();
    QPushButton* status = h.c().statusLine;
    h.clock.setTime(QTime(9, 0, 1));
    errors.fromTick(0, QStringLiteral("first failure"));
    h.clock.setTime(QTime(9, 0, 2));
    testing::internal::CaptureStderr();
    errors.warn(QStringLiteral("output"), QStringLiteral("Sound output: cannot be opened"));
    errors.warn(QStringLiteral("output"), QStringLiteral("Sound output: still not"));
    const QString warnedLog = QString::fromStdString(testing::internal::GetCapturedStderr());
    errors.fromTick(3, QStringLiteral("second failure"));

    EXPECT_EQ(warnedLog.count(QLatin1Char('\n')), 1) << "a warning is logged once";
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("09:00:02 Slot 4: second failure")));
    EXPECT_TRUE(status->text().contains(QStringLiteral("3 problems")));
    for (const char* each : {"first failure", "still not", "second failure"})
        EXPECT_TRUE(status->toolTip().contains(QLatin1String(each))) << each;

    // The click acknowledges the errors; the warning still holds.
    FormHarness::click(status);
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->text(), QStringLiteral("09:00:02 Sound output: still not"));
    EXPECT_FALSE(status->toolTip().contains(QStringLiteral("failure")));

    errors.clearWarning(QStringLiteral("output"), QStringLiteral("Sound output: works again"));
    EXPECT_FALSE(status->isVisible());
}
