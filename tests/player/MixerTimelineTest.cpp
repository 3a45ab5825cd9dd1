#include "player/MixerTimeline.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(MixerTimeline, OneLateWakeUpBarelyMovesItAndADeviceClockRunningFastIsFollowed)
{
    constexpr double BufferNs = 1024 * 1e9 / 44100;
    // A device 200 ppm fast: its buffers come a little sooner than nominal.
    constexpr double DeviceBufferNs = BufferNs * (1 - 200e-6);
    const std::int64_t startNs = 1'000'000'000'000'000;
    MixerTimeline timeline;
    timeline.restart(std::llround(2 * BufferNs));
    const auto due = [&](int i) { return startNs + std::llround(i * DeviceBufferNs); };
    for (int i = 0; i < 1000; ++i)
        timeline.firstFrameNs(due(i), 1024, 44100);
    EXPECT_LT(std::abs(timeline.firstFrameNs(due(1000), 1024, 44100) - due(1000)), 100'000);

    // The audio thread wakes 3 ms late once; the buffer is still where it was.
    const std::int64_t late = timeline.firstFrameNs(due(1001) + 3'000'000, 1024, 44100);
    EXPECT_LT(std::abs(late - due(1001)), 100'000);
    EXPECT_LT(std::abs(timeline.firstFrameNs(due(1002), 1024, 44100) - due(1002)), 500'000);
}

TEST(MixerTimeline, AServersFigureIsSmoothedWithinItsJitterAndTakenAtOnceWhenTheLatencySteps)
{
    constexpr std::int64_t Ms = 1'000'000;
    const std::int64_t startNs = 1'000'000'000'000'000;
    MixerTimeline timeline;
    timeline.restart(2 * Ms);
    // The graph at 1024 frames, its device 23 ms ahead; each figure off by
    // up to 0.3 ms, one way then the other.
    std::int64_t renderedNs = startNs + 23 * Ms;
    const auto buffer = [&](std::int64_t frames, std::int64_t offNs) {
        const std::int64_t heard = timeline.firstFrameNs(renderedNs + offNs, frames, 44100);
        const std::int64_t error = heard - renderedNs;
        renderedNs += frames * 1'000'000'000 / 44100;
        return error;
    };
    for (int i = 0; i < 200; ++i)
        buffer(1024, i % 2 == 0 ? 300'000 : -300'000);
    EXPECT_LT(std::abs(buffer(1024, 300'000)), 100'000);

    // The quantum goes to 4096: the device now 93 ms ahead, in longer buffers.
    renderedNs += 70 * Ms;
    EXPECT_EQ(buffer(4096, 0), 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_LT(std::abs(buffer(4096, 0)), 10'000);
    // Back down by 5 ms, as when another device is linked in.
    renderedNs -= 5 * Ms;
    EXPECT_EQ(buffer(4096, 0), 0);

    // The server restarted: its first figure is taken as it is, however near
    // the old timeline.
    timeline.restart(2 * Ms);
    renderedNs += 1 * Ms;
    EXPECT_EQ(buffer(1024, 0), 0);
    EXPECT_LT(std::abs(buffer(1024, 0)), 10'000);
}
