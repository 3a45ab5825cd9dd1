#include "player/OutputTiming.h"

#include "player/SoundTime.h"

using SoundTime::framesToNs;

std::optional<std::int64_t> pipeWireFirstFrameNs(const PipeWireTime& time, int streamRate)
{
    if (time.nowNs == 0)
        return std::nullopt;
    // The frames queued ahead are rendered first, then the buffer passes the
    // graph's delay to the device, counted from the cycle's start.
    std::int64_t renderNs = time.nowNs;
    if (time.rateDenom != 0)
        renderNs += framesToNs(time.delay * time.rateNum, time.rateDenom);
    return renderNs + framesToNs(time.queued + time.buffered, streamRate);
}

std::int64_t alsaFirstFrameNs(const AlsaStatus& status, std::int64_t nowNs, int rate)
{
    const std::int64_t fromNs = status.running && status.stampNs != 0 ? status.stampNs : nowNs;
    return fromNs + framesToNs(status.delayFrames, rate);
}
