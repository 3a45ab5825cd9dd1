#include "SinkEar.h"

#include "BenchTime.h"
#include "Figures.h"
#include "PipeWireTap.h"
#include "player/SoundTime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sink_take {

std::optional<std::size_t> firstSound(
    const std::vector<float>& samples, double fromFrame, double toFrame, float level)
{
    const auto from = std::size_t(std::max(0.0, fromFrame));
    const auto to = std::min(samples.size(), std::size_t(std::max(0.0, toFrame)));
    for (std::size_t i = from; i < to; ++i)
        if (std::abs(samples[i]) > level)
            return i;
    return std::nullopt;
}

bool isToneOf(const std::vector<float>& samples, std::size_t from, int hz)
{
    const std::size_t span = Rate / 20;
    if (from + span >= samples.size())
        return false;
    int crossings = 0;
    for (std::size_t i = from + 1; i < from + span; ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    return std::abs(crossings * 10 - hz) < 50;
}

double amplitudeAt(const std::vector<float>& samples, std::size_t from, int hz)
{
    double re = 0;
    double im = 0;
    double weights = 0;
    for (std::size_t i = 0; i < WindowFrames && from + i < samples.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i) / WindowFrames);
        const double phase = 2 * std::numbers::pi * hz * double(i) / Rate;
        re += samples[from + i] * w * std::cos(phase);
        im -= samples[from + i] * w * std::sin(phase);
        weights += w;
    }
    return weights == 0 ? 0 : 2 * std::hypot(re, im) / weights;
}

SinkClock::SinkClock(const Take& take, Reports reports) : take_(take), reports_(reports)
{
    for (const std::int64_t click : take.clickFrames) {
        const std::int64_t renderedNs = take.playback.timeOfFrame(double(click), reports);
        const double predicted = take.recording.frameAt(renderedNs, reports);
        const auto found = firstSound(
            take.recorded, predicted - 0.1 * Rate, predicted + 0.1 * Rate, ClickLevel / 2);
        if (!found)
            benchFail("a calibration click was not recorded");
        calibrationNs_.push_back(
            double(renderedNs - take.recording.timeOfFrame(double(*found), reports)));
    }
    offsetNs_ = std::int64_t(percentile(calibrationNs_, 0.5));
}

std::int64_t SinkClock::renderedNs(std::size_t frame) const
{
    return take_.recording.timeOfFrame(double(frame), reports_) + offsetNs_;
}

double SinkClock::frameRenderedAt(std::int64_t ns) const
{
    return take_.recording.frameAt(ns - offsetNs_, reports_);
}

double SinkClock::spreadMs() const
{
    std::vector<double> ms;
    for (const double ns : calibrationNs_)
        ms.push_back(std::abs(ns - double(offsetNs_)) / 1e6);
    return percentile(ms, 1);
}

std::vector<double> reportStepsMs(const Timeline& timeline)
{
    std::vector<double> steps;
    for (std::size_t i = 1; i < timeline.anchors.size(); ++i)
        steps.push_back(
            std::abs(double(offsetNs(timeline.anchors[i]) - offsetNs(timeline.anchors[i - 1]))) /
            1e6);
    return steps;
}

void clickOnSilence(PipeWireTap& tap, int clicks)
{
    const std::int64_t from = SoundTime::wallClockNs() + 300'000'000;
    for (int k = 0; k < clicks; ++k)
        tap.clickNear(from + k * 333'000'000);
    runUntil(from + clicks * 333'000'000);
}

} // namespace sink_take
