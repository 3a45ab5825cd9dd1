#include "player/MixerTimeline.h"

#include "player/SoundTime.h"

#include <cmath>
#include <numbers>

namespace {

// The loop's bandwidth: the lower, the less a single figure off moves the
// timeline, the slower it follows a drifting output clock.
constexpr double BandwidthHz = 0.5;

} // namespace

std::int64_t MixerTimeline::firstFrameNs(std::int64_t reportedNs, std::int64_t frames, int rate)
{
    const double error = double(reportedNs) - nextBufferNs_;
    if (!running_ || std::abs(error) > jumpNs_) {
        running_ = true;
        nsPerFrame_ = double(SoundTime::NsPerSecond) / double(rate);
        nextBufferNs_ = double(reportedNs) + double(frames) * nsPerFrame_;
        lastFrames_ = frames;
        return reportedNs;
    }
    // The loop is updated once a buffer; its gain is set by how long the
    // buffer before lasted, so buffers of changing length keep its bandwidth.
    const double omega = 2 * std::numbers::pi * BandwidthHz * double(lastFrames_) / double(rate);
    const double thisBufferNs = nextBufferNs_;
    nextBufferNs_ =
        thisBufferNs + std::numbers::sqrt2 * omega * error + double(frames) * nsPerFrame_;
    nsPerFrame_ += omega * omega * error / double(lastFrames_);
    lastFrames_ = frames;
    return std::llround(thisBufferNs);
}
