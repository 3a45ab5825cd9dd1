#include "TerminationSignals.h"
#include "FormHarness.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

#include <csignal>

#include <gtest/gtest.h>

namespace {

// Runs the event loop until something ends it, or gives up after a bound.
struct LoopResult {
    int exitCode;
    bool gaveUp;
};

LoopResult runLoopAfterRaising(int signal)
{
    bool gaveUp = false;
    QTimer::singleShot(0, [signal] { std::raise(signal); });
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [&] {
        gaveUp = true;
        QCoreApplication::exit(1);
    });
    bound.start(5000);
    const int exitCode = QCoreApplication::exec();
    return {exitCode, gaveUp};
}

} // namespace

class TerminationSignalsTest : public ::testing::TestWithParam<int> { };

TEST_P(TerminationSignalsTest, EndTheProgramCleanlyEvenWhileTheWindowIsLocked)
{
    FormHarness h;
    ASSERT_TRUE(h.c().unlockButton->isEnabled()) << "the window starts locked";
    TerminationSignals terminationSignals;

    const LoopResult result = runLoopAfterRaising(GetParam());
    EXPECT_FALSE(result.gaveUp);
    EXPECT_EQ(result.exitCode, 0);
    // The quit question is for the operator, not for a signal.
    EXPECT_TRUE(h.messageBox.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(SigtermAndSigint, TerminationSignalsTest,
    ::testing::Values(SIGTERM, SIGINT),
    [](const auto& info) { return std::string(info.param == SIGTERM ? "sigterm" : "sigint"); });
