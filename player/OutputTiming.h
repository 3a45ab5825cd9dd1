#pragma once

#include <cstdint>
#include <optional>

// When the first frame of the buffer being filled is rendered, from a native
// output's own report, on the monotonic clock the report is given in. The
// backends read the reports and the clocks; what the figures add up to is
// decided here, where a table can try it with a graph and a stream at
// different rates, a large quantum or a delay below zero.

// PipeWire's pw_time for the stream, read in its process hook.
struct PipeWireTime {
    std::int64_t nowNs; // the graph cycle's start; 0 before the graph has run
    std::int64_t delay; // to the device, in ticks of the graph's clock
    // A tick lasts rateNum / rateDenom s: the graph's rate, not the stream's.
    std::int64_t rateNum;
    std::int64_t rateDenom;
    // Ahead of this buffer, in the stream's own frames: queued in buffers,
    // and held in the resampler.
    std::int64_t queued;
    std::int64_t buffered;
};
// Nothing before the graph has given a time (the first cycles).
std::optional<std::int64_t> pipeWireFirstFrameNs(const PipeWireTime& time, int streamRate);

// ALSA's snd_pcm_status, read just before a period is written.
struct AlsaStatus {
    bool running; // SND_PCM_STATE_RUNNING
    std::int64_t stampNs; // the status's timestamp; 0 where the device gives none
    // Frames the device holds ahead of the next one written; below zero
    // when it has run past what it was given.
    std::int64_t delayFrames;
};
// `nowNs`, read before the status, stands in for its timestamp where the
// device gives none or is not running (the timestamp is then not this
// moment's).
std::int64_t alsaFirstFrameNs(const AlsaStatus& status, std::int64_t nowNs, int rate);
