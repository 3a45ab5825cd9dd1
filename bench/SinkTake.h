#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// What server_bench's ear brings back from a sound server's sink, whichever
// server it is: the sink's monitor as recorded, and for the recording and
// for the bench's own click stream the server's word on when the sink
// renders their frames.

namespace sink_take {

constexpr int Rate = 44100;
constexpr double FrameNs = 1e9 / Rate;
constexpr std::int64_t SecondNs = 1'000'000'000;

[[noreturn]] inline void fail(const std::string& why)
{
    std::fprintf(stderr, "server_bench: %s\n", why.c_str());
    std::exit(1);
}

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
        fail("the sound server sent no timing near a moment measured");
    std::nth_element(
        offsets.begin(), offsets.begin() + std::ptrdiff_t(offsets.size() / 2), offsets.end());
    return offsets[offsets.size() / 2];
}

// A stream's frames against the wall clock, from the server's reports within
// `span` of the moment asked about (a second unless told): the two clocks
// drift apart by parts per million, and a stream that ran dry, or a graph
// whose quantum changed, would shift its frames.
struct Timeline {
    std::vector<Anchor> anchors;
    double spanFrames = Rate;

    std::int64_t timeOfFrame(double frame) const
    {
        std::vector<std::int64_t> offsets;
        for (const Anchor& a : anchors)
            if (std::abs(a.frame - frame) <= spanFrames)
                offsets.push_back(offsetNs(a));
        return medianOffsetNs(offsets) + std::llround(frame * FrameNs);
    }
    double frameAt(std::int64_t ns) const
    {
        std::vector<std::int64_t> offsets;
        for (const Anchor& a : anchors)
            if (std::abs(double(a.atNs - ns)) <= spanFrames * FrameNs)
                offsets.push_back(offsetNs(a));
        return double(ns - medianOffsetNs(offsets)) / FrameNs;
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
