#pragma once

#include "BenchFail.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

// What the benches' ear brings back from a sound server's sink, whichever
// server it is: the sink's monitor as recorded, and for the recording and
// for the bench's own click stream the server's word on when the sink
// renders their frames.

namespace sink_take {

constexpr int Rate = 44100;
constexpr double FrameNs = 1e9 / Rate;
constexpr std::int64_t SecondNs = 1'000'000'000;
// The calibration clicks' one sample: far above any tone (at half scale).
constexpr float ClickLevel = 0.8f;

// At `atNs` on the wall clock the sink was rendering frame `frame` of a
// stream.
struct Anchor {
    std::int64_t atNs;
    double frame;
};

inline std::int64_t offsetNs(const Anchor& a)
{
    return a.atNs - std::llround(a.frame * FrameNs);
}

inline std::int64_t medianOffsetNs(std::vector<std::int64_t> offsets)
{
    if (offsets.empty())
        benchFail("the sound server sent no timing near a moment measured");
    std::nth_element(
        offsets.begin(), offsets.begin() + std::ptrdiff_t(offsets.size() / 2), offsets.end());
    return offsets[offsets.size() / 2];
}

// Which of a timeline's reports place a moment.
enum class Reports {
    // Those within the span; none there ends the bench, as a server that
    // stopped reporting while it played has spoilt the run.
    WithinSpan,
    // Those within the span, else the dozen nearest: where the whole program
    // was stopped the graph may have stood still with it, and the ear's
    // reports around the stop are the nearest there are.
    WithinSpanElseNearestDozen,
};

// A stream's frames against the wall clock, from the server's reports within
// `span` of the moment asked about (a second unless told): the two clocks
// drift apart by parts per million, and a stream that ran dry, or a graph
// whose quantum changed, would shift its frames.
struct Timeline {
    std::vector<Anchor> anchors;
    double spanFrames = Rate;

    std::int64_t timeOfFrame(double frame, Reports reports = Reports::WithinSpan) const
    {
        return offsetNear([frame](const Anchor& a) { return std::abs(a.frame - frame); },
                   spanFrames, reports) +
            std::llround(frame * FrameNs);
    }
    double frameAt(std::int64_t ns, Reports reports = Reports::WithinSpan) const
    {
        return double(ns -
                   offsetNear([ns](const Anchor& a) { return std::abs(double(a.atNs - ns)); },
                       spanFrames * FrameNs, reports)) /
            FrameNs;
    }

private:
    template <typename Distance>
    std::int64_t offsetNear(Distance distance, double span, Reports reports) const
    {
        std::vector<std::int64_t> offsets;
        for (const Anchor& a : anchors)
            if (distance(a) <= span)
                offsets.push_back(offsetNs(a));
        if (offsets.empty() && reports == Reports::WithinSpanElseNearestDozen) {
            std::vector<Anchor> nearest = anchors;
            const std::size_t n = std::min<std::size_t>(12, nearest.size());
            std::partial_sort(nearest.begin(), nearest.begin() + std::ptrdiff_t(n), nearest.end(),
                [&](const Anchor& a, const Anchor& b) { return distance(a) < distance(b); });
            for (std::size_t i = 0; i < n; ++i)
                offsets.push_back(offsetNs(nearest[i]));
        }
        return medianOffsetNs(offsets);
    }
};

struct Take {
    std::vector<float> recorded; // mono; a sample's index is its frame in the recording
    Timeline recording;
    Timeline playback; // the click stream's
    std::vector<std::int64_t> clickFrames; // in the click stream
    std::vector<double> sinkLatencyMs; // as the server reported it to the click stream
};

} // namespace sink_take
