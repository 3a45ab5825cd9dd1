#include "player/SampleRing.h"

#include <gtest/gtest.h>

#include <vector>

// A counting sequence written in chunks of every size, so that the writes and
// the reads wrap the ring at every offset, must come back exactly: a frame
// landing one place off is a click in every second of sound.
TEST(SampleRing, FramesComeBackExactlyAndInOrderAcrossTheWrap)
{
    constexpr std::size_t Capacity = 7;
    SampleRing ring(Capacity);
    float nextIn = 1;
    float nextOut = 1;
    for (int round = 0; round < 60; ++round) {
        const std::size_t chunk = std::size_t(round % int(Capacity)) + 1;
        std::vector<float> in;
        for (std::size_t k = 0; k < chunk; ++k, ++nextIn)
            in.insert(in.end(), {nextIn, -nextIn});
        ASSERT_EQ(ring.write(in.data(), chunk), chunk);
        ASSERT_EQ(ring.freeFrames(), Capacity - chunk);

        std::vector<float> out(2 * chunk, 0.0f);
        ASSERT_EQ(ring.mixInto(out.data(), chunk), chunk);
        for (std::size_t k = 0; k < chunk; ++k, ++nextOut) {
            ASSERT_EQ(out[2 * k], nextOut) << "round " << round << ", frame " << k;
            ASSERT_EQ(out[2 * k + 1], -nextOut) << "round " << round << ", frame " << k;
        }
    }
}

TEST(SampleRing, AFullRingTakesNothingMoreAndMixingAddsToWhatIsThere)
{
    SampleRing ring(4);
    const std::vector<float> in(2 * 6, 0.25f);
    EXPECT_EQ(ring.write(in.data(), 6), 4u);
    EXPECT_EQ(ring.write(in.data(), 1), 0u);
    std::vector<float> out(2 * 6, 1.0f);
    EXPECT_EQ(ring.mixInto(out.data(), 6), 4u);
    EXPECT_EQ(out[7], 1.25f);
    EXPECT_EQ(out[8], 1.0f);
}
