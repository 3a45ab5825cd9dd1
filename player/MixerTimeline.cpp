#include "MixerTimeline.h"

#include <cmath>
#include <numbers>

namespace {

// The loop's bandwidth: the lower, the less a single late callback moves the
// timeline, the slower it follows a drifting device clock.
constexpr double BandwidthHz = 0.5;
// Further off than this the timeline is taken to be wrong, not late: the
// device stood still, or the wall clock was set.
constexpr double RestartAfterBuffers = 2;

} // namespace

std::int64_t MixerTimeline::bufferStartNs(std::int64_t nowNs, std::int64_t frames, int rate)
{
    const double nominalNs = double(frames) * 1e9 / double(rate);
    const double error = double(nowNs) - nextBufferNs_;
    if (!running_ || std::abs(error) > RestartAfterBuffers * nominalNs) {
        running_ = true;
        periodNs_ = nominalNs;
        thisBufferNs_ = double(nowNs);
        nextBufferNs_ = thisBufferNs_ + periodNs_;
        return nowNs;
    }
    const double omega = 2 * std::numbers::pi * BandwidthHz * nominalNs / 1e9;
    thisBufferNs_ = nextBufferNs_;
    nextBufferNs_ += std::numbers::sqrt2 * omega * error + periodNs_;
    periodNs_ += omega * omega * error;
    return std::llround(thisBufferNs_);
}
