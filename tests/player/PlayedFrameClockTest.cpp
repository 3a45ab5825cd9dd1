#include "player/PlayedFrameClock.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr std::int64_t Ms = 1'000'000;
constexpr int Rate = 48'000;

} // namespace

TEST(PlayedFrameClock, PulseAudiosReportsAreTimedByTheQuickestAndASlowOneOrAStallIsNoBother)
{
    PlayedFrameClock clock(Rate, PlayedFrameClock::Server::PulseAudio);
    EXPECT_FALSE(clock.renderNs(0));
    // Frame 0 is rendered at 40 ms; each reading is taken midway between
    // the asking and the answer.
    const auto reportAt = [&](std::int64_t askedNs, std::int64_t roundTripNs, std::int64_t zeroNs) {
        const std::int64_t readNs = askedNs + roundTripNs / 2;
        const std::int64_t readFrame = (readNs - 30 * Ms) * Rate / 1'000'000'000;
        clock.report(askedNs, askedNs + roundTripNs, readFrame,
            zeroNs + readFrame * 1'000'000'000 / Rate - readNs);
    };
    reportAt(100 * Ms, Ms / 5, 40 * Ms);
    reportAt(120 * Ms, 9 * Ms, 40 * Ms); // the server was slow to answer
    EXPECT_LT(std::abs(*clock.renderNs(Rate) - 1040 * Ms), Ms / 5);
    // The stream stood still for 300 ms: from the next report on, later.
    reportAt(500 * Ms, Ms / 5, 340 * Ms);
    EXPECT_LT(std::abs(*clock.renderNs(Rate) - 1340 * Ms), Ms / 5);
}

TEST(PlayedFrameClock, PipeWirePulsesStaleReadingsAheadByACycleConvergeOnTheTruthWhenSplit)
{
    // The graph at 4096 frames a cycle: cycle n starts at n * 4096 frames'
    // time and takes the frames up to (n + 1) * 4096, which are rendered
    // 10 ms after the next cycle starts: frame 0 is rendered at 10 ms.
    constexpr std::int64_t Take = 4096;
    const auto cycleNs = [](std::int64_t n) { return n * Take * 1'000'000'000 / Rate; };
    PlayedFrameClock clock(Rate, PlayedFrameClock::Server::PipeWirePulse);
    const auto ask = [&](std::int64_t askedNs) {
        const std::int64_t answeredNs = askedNs + Ms / 5;
        const std::int64_t lastCycle = (askedNs + Ms / 10) * Rate / (Take * 1'000'000'000);
        clock.report(askedNs, answeredNs, (lastCycle + 1) * Take, 10 * Ms);
    };
    ask(cycleNs(1) + Ms / 5);
    EXPECT_FALSE(clock.renderNs(0)); // nothing bounds it from after yet
    for (std::int64_t n = 2; n < 12; ++n) {
        ask(cycleNs(n) + Ms / 5); // as the server asks for sound
        while (clock.wide())
            ask(*clock.splitAtNs());
        ask(*clock.splitAtNs());
    }
    EXPECT_LT(std::abs(*clock.renderNs(Rate) - 1010 * Ms), Ms / 2);
}
