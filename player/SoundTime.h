#pragma once

#include "player/OutputFormat.h"

#include <cstddef>
#include <cstdint>

// The program's clocks and units of sound time, written once.
//
// Two clocks: the wall clock (CLOCK_REALTIME), on which the scheduler's
// seconds and the mixer's timeline are counted, and the monotonic clock
// (CLOCK_MONOTONIC), never set or stepped, on which the sound servers run
// their graphs and on which the output's own progress is judged, so that a
// clock set forward or back is never taken for an output that stood still.
namespace SoundTime {

inline constexpr std::int64_t NsPerSecond = 1'000'000'000;
inline constexpr std::int64_t NsPerMs = 1'000'000;
// Bytes of one frame of the mixer's format.
inline constexpr std::size_t FrameBytes = sizeof(float) * OutputFormat::Channels;

std::int64_t wallClockNs();
std::int64_t monotonicNs();
// A monotonic time (a sound server's) on the wall clock, read as near
// together as two clock reads go.
std::int64_t wallClockOfMonotonicNs(std::int64_t monotonicNs);

// How long `frames` frames last at `rate`, without overflow for any count a
// stream reaches.
constexpr std::int64_t framesToNs(std::int64_t frames, std::int64_t rate)
{
    return frames / rate * NsPerSecond + frames % rate * NsPerSecond / rate;
}
// Whole frames at `rate` within `ns` (rounded towards zero).
constexpr std::int64_t nsToFrames(std::int64_t ns, std::int64_t rate)
{
    return ns / NsPerSecond * rate + ns % NsPerSecond * rate / NsPerSecond;
}

} // namespace SoundTime
