#pragma once

#include <cstdint>

// A sound server's time (CLOCK_MONOTONIC, the clock its graph runs on) as
// the wall clock (CLOCK_REALTIME, wallClockNs()) the mixer places starts on,
// read as near together as two clock reads go.
std::int64_t wallClockOfMonotonicNs(std::int64_t monotonicNs);

std::int64_t monotonicClockNs();
