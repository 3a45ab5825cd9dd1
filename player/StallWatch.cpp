#include "player/StallWatch.h"

#include <algorithm>

void StallWatch::callback(std::int64_t nowNs, std::int64_t bufferNs)
{
    // Callbacks come a buffer apart; one that comes after two or more means
    // the output (or the sound server behind it) stood still meanwhile.
    const std::int64_t lastNs = lastCallbackNs_.load(std::memory_order_relaxed);
    if (lastNs != 0 && nowNs - lastNs > 2 * bufferNs) {
        stallLengthNs_.store(nowNs - lastNs, std::memory_order_relaxed);
        stallEndedNs_.store(nowNs, std::memory_order_release);
    }
    lastCallbackNs_.store(nowNs, std::memory_order_relaxed);
}

void StallWatch::look(std::int64_t nowNs)
{
    const std::int64_t lastNs = lastLookNs_.exchange(nowNs, std::memory_order_relaxed);
    if (lastNs == 0 || nowNs - lastNs <= lookOverdueNs_)
        return;
    resumedNs_.store(nowNs, std::memory_order_relaxed);
    // A gap in the callbacks that ended while this thread could not run
    // either was the program's, not the output's.
    if (stallEndedNs_.load(std::memory_order_acquire) > lastNs)
        stallEndedNs_.store(0, std::memory_order_release);
}

std::optional<std::int64_t> StallWatch::standingStillNs(std::int64_t nowNs) const
{
    const std::int64_t lastNs = lastCallbackNs_.load(std::memory_order_relaxed);
    if (lastNs == 0 || nowNs - lastLookNs_.load(std::memory_order_relaxed) > lookOverdueNs_)
        return std::nullopt;
    return nowNs - std::max(lastNs, resumedNs_.load(std::memory_order_relaxed));
}

std::optional<StallWatch::Stall> StallWatch::lastStall() const
{
    const std::int64_t ended = stallEndedNs_.load(std::memory_order_acquire);
    if (ended == 0)
        return std::nullopt;
    return Stall{ended, stallLengthNs_.load(std::memory_order_relaxed)};
}
