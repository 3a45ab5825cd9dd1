#include "MixerTimeline.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(MixerTimeline, OneLateWakeUpBarelyMovesItAndADeviceClockRunningFastIsFollowed)
{
    constexpr double BufferNs = 1024 * 1e9 / 44100;
    // A device 200 ppm fast: its buffers come a little sooner than nominal.
    constexpr double DeviceBufferNs = BufferNs * (1 - 200e-6);
    const std::int64_t startNs = 1'000'000'000'000'000;
    MixerTimeline timeline;
    const auto due = [&](int i) { return startNs + std::llround(i * DeviceBufferNs); };
    for (int i = 0; i < 1000; ++i)
        timeline.bufferStartNs(due(i), 1024, 44100);
    EXPECT_LT(std::abs(timeline.bufferStartNs(due(1000), 1024, 44100) - due(1000)), 100'000);

    // The audio thread wakes 3 ms late once; the buffer is still where it was.
    const std::int64_t late = timeline.bufferStartNs(due(1001) + 3'000'000, 1024, 44100);
    EXPECT_LT(std::abs(late - due(1001)), 100'000);
    EXPECT_LT(std::abs(timeline.bufferStartNs(due(1002), 1024, 44100) - due(1002)), 500'000);
}
