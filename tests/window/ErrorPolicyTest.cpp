#include "FormHarness.h"
#include "HandlerEdge.h"

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
