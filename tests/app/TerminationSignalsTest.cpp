#include "app/TerminationSignals.h"
#include "FormHarness.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>

#include <gtest/gtest.h>

class TerminationSignalsTest : public ::testing::TestWithParam<int> { };

TEST_P(TerminationSignalsTest, EndTheProgramAsQuitDoesEvenWhileTheWindowIsLocked)
{
    FormHarness h;
    ASSERT_TRUE(h.c().unlockButton->isEnabled()) << "the window starts locked";
    h.giveFile(2, QStringLiteral("/sounds/bell.mp3"));
    h.enterStartTime(2, h.clock.now().time().addSecs(1));
    FormHarness::tick(h.c().schedulerTimer);
    ASSERT_TRUE(h.player(2).armedFor()) << "a start placed ahead";
    TerminationSignals terminationSignals;
    QObject::connect(
        &terminationSignals, &TerminationSignals::received, &h.form(), &MainWindow::endProgram);

    std::raise(GetParam());
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.programExit.calls() > 0; }, 5000));
    EXPECT_EQ(h.programExit.calls(), 1);
    EXPECT_FALSE(h.player(2).armedFor()) << "the placed start is withdrawn";
    EXPECT_FALSE(h.c().schedulerTimer->isActive());
    // The quit question is for the operator, not for a signal.
    EXPECT_TRUE(h.messageBox.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(SigtermAndSigint, TerminationSignalsTest,
    ::testing::Values(SIGTERM, SIGINT),
    [](const auto& info) { return std::string(info.param == SIGTERM ? "sigterm" : "sigint"); });
