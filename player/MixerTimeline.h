#pragma once

#include <cstdint>

// When the frames the mixer hands over are heard, kept over many buffers:
// a delay-locked loop follows the render times the output reports for the
// first frame of each buffer (the sound server's own figure, or an estimate
// from the callback's time), so that one figure a little off (an audio
// thread that woke late, a server's timing update) does not move the frames
// it mixes (and a start placed among them) by as much. It follows an output
// whose clock runs a little fast or slow, takes buffers of any length, and
// starts afresh from the reported figure when the output stood still, its
// latency changed, or the wall clock was set.
//
// Used by the audio callback alone; the caller's lock guards it.
class MixerTimeline {
public:
    // The output reports that the first of the `frames` frames about to be
    // mixed at `rate` is rendered at `reportedNs`: when, on the timeline, it
    // is heard.
    std::int64_t firstFrameNs(std::int64_t reportedNs, std::int64_t frames, int rate);
    // The output was (re)opened: nothing known yet. A report further than
    // `jumpNs` from the timeline's prediction is a new latency, not jitter.
    void restart(std::int64_t jumpNs)
    {
        running_ = false;
        jumpNs_ = double(jumpNs);
    }

private:
    bool running_ = false;
    double jumpNs_ = 0;
    double nextBufferNs_ = 0; // the predicted time of the next buffer
    double nsPerFrame_ = 0; // the filtered length of a frame
    std::int64_t lastFrames_ = 0; // the length of the buffer before
};
