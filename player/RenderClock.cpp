#include "RenderClock.h"

#include "StartSwitch.h"

#include <ctime>

std::int64_t monotonicClockNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::int64_t wallClockOfMonotonicNs(std::int64_t monotonicNs)
{
    const std::int64_t monotonicNow = monotonicClockNs();
    return wallClockNs() + (monotonicNs - monotonicNow);
}
