#pragma once

#include <cstdint>

// When the frames the mixer hands over are heard, kept over many callbacks:
// a delay-locked loop follows the callbacks' wall-clock times, so that one
// callback that wakes a few milliseconds late does not move the frames it
// mixes (and a start placed among them) by as much. It follows a device
// whose clock runs a little fast or slow, and starts afresh when the device
// stood still or jumped.
//
// Used by the audio callback alone; the caller's lock guards it.
class MixerTimeline {
public:
    // A callback at `nowNs` is about to mix `frames` frames at `rate`: when
    // (on the wall clock, before the device's own latency) its first frame
    // goes out.
    std::int64_t bufferStartNs(std::int64_t nowNs, std::int64_t frames, int rate);
    // The device was (re)opened: nothing known yet.
    void restart() { running_ = false; }

private:
    bool running_ = false;
    double thisBufferNs_ = 0; // the filtered time of the buffer being mixed
    double nextBufferNs_ = 0; // the predicted time of the next one
    double periodNs_ = 0; // the filtered length of a buffer
};
