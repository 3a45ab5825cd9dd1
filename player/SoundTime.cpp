#include "player/SoundTime.h"

#include <ctime>

namespace SoundTime {

namespace {
std::int64_t read(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t(now.tv_sec) * NsPerSecond + now.tv_nsec;
}
} // namespace

std::int64_t wallClockNs()
{
    return read(CLOCK_REALTIME);
}

std::int64_t monotonicNs()
{
    return read(CLOCK_MONOTONIC);
}

std::int64_t wallClockOfMonotonicNs(std::int64_t monotonicNs)
{
    return wallClockNs() + (monotonicNs - SoundTime::monotonicNs());
}

} // namespace SoundTime
