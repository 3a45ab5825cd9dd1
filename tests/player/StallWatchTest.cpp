#include "player/StallWatch.h"

#include <gtest/gtest.h>

// Times in ms on the monotonic clock; the device thread looks every 500 ms,
// and a look 1000 ms late means the program itself stood still.
namespace {

constexpr std::int64_t Ms = 1'000'000;
constexpr std::int64_t BufferMs = 23;

// Callbacks a buffer apart and looks every 500 ms over [fromMs, toMs).
void runs(StallWatch& w, std::int64_t fromMs, std::int64_t toMs, bool callbacks = true)
{
    for (std::int64_t t = fromMs; t < toMs; ++t) {
        if (callbacks && (t - fromMs) % BufferMs == 0)
            w.callback(t * Ms, BufferMs * Ms);
        if ((t - fromMs) % 500 == 0)
            w.look(t * Ms);
    }
}

std::optional<std::int64_t> stillMs(const StallWatch& w, std::int64_t atMs)
{
    const std::optional<std::int64_t> ns = w.standingStillNs(atMs * Ms);
    return ns ? std::optional(*ns / Ms) : std::nullopt;
}

} // namespace

TEST(StallWatch, AnOutputThatStopsAskingStandsStillButNotWhileTheWholeProgramDid)
{
    StallWatch w(1000 * Ms);
    EXPECT_FALSE(stillMs(w, 0)) << "before the first callback";
    runs(w, 1, 2000);
    EXPECT_LT(*stillMs(w, 2000), BufferMs);

    // The server stops; the program runs on, looking in.
    runs(w, 2000, 2700, false);
    EXPECT_EQ(stillMs(w, 2700), 2700 - 1979) << "since the last callback, at 1 + 86 × 23";

    // Now the whole program stands still 3 s: asked before the device thread
    // has looked again, there is no verdict; after its look, the time counts
    // from there.
    StallWatch held(1000 * Ms);
    runs(held, 1, 2000);
    EXPECT_FALSE(stillMs(held, 5000));
    held.look(5000 * Ms);
    EXPECT_EQ(stillMs(held, 5200), 200);
    held.callback(5210 * Ms, BufferMs * Ms);
    EXPECT_LT(*stillMs(held, 5220), BufferMs);
}

TEST(StallWatch, AGapInTheCallbacksIsAStallOnlyWhereTheProgramRanThrough)
{
    StallWatch w(1000 * Ms);
    runs(w, 1, 1000);
    EXPECT_FALSE(w.lastStall());
    // The server stood still 300 ms while the device thread looked in.
    runs(w, 1000, 1300, false);
    runs(w, 1300, 2000);
    ASSERT_TRUE(w.lastStall());
    EXPECT_EQ(w.lastStall()->endedNs, 1300 * Ms);
    EXPECT_EQ(w.lastStall()->lengthNs, (1300 - 990) * Ms) << "from the callback at 1 + 43 × 23";

    // The whole program stood still 3 s: the audio thread may run first, and
    // the gap it sees is withdrawn when the device thread finds its own.
    StallWatch held(1000 * Ms);
    runs(held, 1, 2000);
    held.callback(5000 * Ms, BufferMs * Ms);
    ASSERT_TRUE(held.lastStall());
    held.look(5001 * Ms);
    EXPECT_FALSE(held.lastStall());
    // A restarted stream's first callback is no gap.
    held.restart();
    held.callback(9000 * Ms, BufferMs * Ms);
    EXPECT_FALSE(held.lastStall());
}
