#include "player/OutputTiming.h"

#include <gtest/gtest.h>

// Expected times worked out by hand: n frames at r Hz last n * 1e9 / r ns,
// rounded towards zero (4096 at 48 kHz: 85'333'333 ns; at 44.1 kHz:
// 92'879'818 ns).
namespace {

constexpr std::int64_t S = 1'000'000'000;
constexpr int Stream = 44'100;

struct PipeWireCase {
    const char* name;
    PipeWireTime time;
    std::optional<std::int64_t> firstNs;
};

void PrintTo(const PipeWireCase& c, std::ostream* out)
{
    *out << c.name;
}

class PipeWireTiming : public testing::TestWithParam<PipeWireCase> { };

} // namespace

TEST_P(PipeWireTiming, TheFirstFrameFollowsTheGraphsDelayAndWhatIsAheadOfIt)
{
    EXPECT_EQ(pipeWireFirstFrameNs(GetParam().time, Stream), GetParam().firstNs);
}

INSTANTIATE_TEST_SUITE_P(Reports, PipeWireTiming,
    testing::Values(
        // 480 ticks of a 48 kHz graph are 10 ms, not the stream's 10.88 ms.
        PipeWireCase{"DelayAtTheGraphsRate", {S, 480, 1, 48'000, 0, 0}, S + 10'000'000},
        // 441 + 882 of the stream's frames: 10 + 20 ms.
        PipeWireCase{
            "QueuedAndBufferedAtTheStreamsRate", {S, 0, 1, 48'000, 441, 882}, S + 30'000'000},
        PipeWireCase{"AQuantumOf4096", {S, 4096, 1, 48'000, 4096, 0}, S + 85'333'333 + 92'879'818},
        PipeWireCase{"ADelayBelowZero", {S, -480, 1, 48'000, 441, 0}, S},
        PipeWireCase{"NoRateYetLeavesTheDelayOut", {S, 480, 0, 0, 441, 0}, S + 10'000'000},
        PipeWireCase{"NoTimeBeforeTheGraphRuns", {0, 480, 1, 48'000, 441, 0}, std::nullopt},
        // 10^7 s of each, whose product with 10^9 would not fit 64 bits.
        PipeWireCase{"LargeCounts", {S, 480'000'000'000, 1, 48'000, 441'000'000'000, 0},
            S + 20'000'000 * S}),
    [](const testing::TestParamInfo<PipeWireCase>& info) { return info.param.name; });

namespace {

struct AlsaCase {
    const char* name;
    AlsaStatus status;
    int rate;
    std::int64_t firstNs;
};

void PrintTo(const AlsaCase& c, std::ostream* out)
{
    *out << c.name;
}

class AlsaTiming : public testing::TestWithParam<AlsaCase> { };

constexpr std::int64_t Now = 7 * S;

} // namespace

TEST_P(AlsaTiming, TheFirstFrameIsTheDelayAfterTheStatussTimestamp)
{
    EXPECT_EQ(alsaFirstFrameNs(GetParam().status, Now, GetParam().rate), GetParam().firstNs);
}

INSTANTIATE_TEST_SUITE_P(Statuses, AlsaTiming,
    testing::Values(AlsaCase{"FromTheTimestamp", {true, 5 * S, 441}, Stream, 5 * S + 10'000'000},
        AlsaCase{"AtTheDevicesRate", {true, 5 * S, 4096}, 48'000, 5 * S + 85'333'333},
        AlsaCase{"ADelayBelowZero", {true, 5 * S, -441}, Stream, 5 * S - 10'000'000},
        AlsaCase{"NotRunningCountsFromNow", {false, 5 * S, 441}, Stream, Now + 10'000'000},
        AlsaCase{"NoTimestampCountsFromNow", {true, 0, 441}, Stream, Now + 10'000'000},
        // 10^7 s.
        AlsaCase{"LargeCounts", {true, 5 * S, 441'000'000'000}, Stream, 5 * S + 10'000'000 * S}),
    [](const testing::TestParamInfo<AlsaCase>& info) { return info.param.name; });
