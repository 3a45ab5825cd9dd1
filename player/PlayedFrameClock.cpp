#include "player/PlayedFrameClock.h"

#include "player/SoundTime.h"

using SoundTime::framesToNs;

namespace {

constexpr std::int64_t WindowNs = SoundTime::NsPerSecond;
// A report this much later than the bounds is not a stale reading but a
// stream that stood still meanwhile (longer than any graph cycle).
constexpr std::int64_t FellBehindNs = 250'000'000;
constexpr std::int64_t WideNs = 2'000'000;

} // namespace

template <typename Better>
void PlayedFrameClock::keep(std::deque<Bound>& bounds, Bound bound, Better better)
{
    while (!bounds.empty() && !better(bounds.back().firstFrameNs, bound.firstFrameNs))
        bounds.pop_back();
    bounds.push_back(bound);
    while (bounds.front().atNs < bound.atNs - WindowNs)
        bounds.pop_front();
}

void PlayedFrameClock::report(
    std::int64_t askedNs, std::int64_t answeredNs, std::int64_t readFrame, std::int64_t sinkNs)
{
    const std::int64_t aheadNs = sinkNs - framesToNs(readFrame, rate_);
    if (!atMost_.empty() && askedNs + aheadNs - atMost_.front().firstFrameNs > FellBehindNs)
        forget();
    const std::optional<Reading> before = last_;
    last_ = Reading{readFrame, sinkNs};
    const auto later = [](std::int64_t a, std::int64_t b) { return a > b; };
    const auto sooner = [](std::int64_t a, std::int64_t b) { return a < b; };
    keep(atLeast_, {answeredNs, askedNs + aheadNs}, later);
    if (server_ == Server::PulseAudio)
        keep(atMost_, {answeredNs, answeredNs + aheadNs}, sooner);
    else if (before && readFrame > before->readFrame)
        keep(atMost_,
            {answeredNs, answeredNs + aheadNs + framesToNs(readFrame - before->readFrame, rate_)},
            sooner);
}

std::optional<std::int64_t> PlayedFrameClock::firstFrameNs() const
{
    if (atLeast_.empty() || atMost_.empty())
        return std::nullopt;
    return atLeast_.front().firstFrameNs +
        (atMost_.front().firstFrameNs - atLeast_.front().firstFrameNs) / 2;
}

std::optional<std::int64_t> PlayedFrameClock::renderNs(std::int64_t frame) const
{
    const std::optional<std::int64_t> firstNs = firstFrameNs();
    if (!firstNs)
        return std::nullopt;
    return *firstNs + framesToNs(frame, rate_);
}

std::optional<std::int64_t> PlayedFrameClock::splitAtNs() const
{
    const std::optional<std::int64_t> firstNs = firstFrameNs();
    if (!firstNs || !last_ || server_ != Server::PipeWirePulse)
        return std::nullopt;
    // The next cycle starts when the last reading's read frame is rendered
    // less its latency; one answered then is the reading at either bound.
    return *firstNs + framesToNs(last_->readFrame, rate_) - last_->sinkNs;
}

bool PlayedFrameClock::wide() const
{
    return atLeast_.empty() || atMost_.empty() ||
        atMost_.front().firstFrameNs - atLeast_.front().firstFrameNs > WideNs;
}
