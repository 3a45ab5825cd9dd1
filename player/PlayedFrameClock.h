#pragma once

#include <cstdint>
#include <deque>
#include <optional>

// When a frame of a playback stream, counted from the stream's first, is
// rendered, drawn from the server's timing reports: asked for at `askedNs`
// and answered at `answeredNs`, one says that the server had taken the
// frames before `readFrame` and gave `sinkNs` as the latency from there.
//
// A real PulseAudio server takes that reading between the asking and the
// answer, so each report bounds the frames' render time from both sides.
// PipeWire's pipewire-pulse answers with the reading of its last graph
// cycle, whose read index already counts the frames that cycle took while
// its latency leaves them out: the frame at the read index is rendered that
// latency after the next cycle starts, which comes after the asking but not
// by more than a cycle (a quantum, 85 ms at 4096 frames). So its report read
// as PulseAudio's is a bound on one side only, and only one whose index
// moved since the report before bounds the other (by adding the frames it
// moved by). The frames are timed midway between the tightest bounds of the
// last second; a report asked for when a cycle's start would split them
// (splitAtNs) narrows them by half, so a few reports a second keep them
// within a fraction of a millisecond. A report that is slow to come only
// bounds loosely, and a second is short enough that a sound card's clock
// drifts by less than a tenth of a millisecond in it.
class PlayedFrameClock {
public:
    enum class Server { PulseAudio, PipeWirePulse };

    PlayedFrameClock(int rate, Server server) : rate_(rate), server_(server) { }

    void report(
        std::int64_t askedNs, std::int64_t answeredNs, std::int64_t readFrame, std::int64_t sinkNs);
    // When `frame` is rendered, on the clock the reports are given in;
    // nothing until the reports bound it from both sides.
    std::optional<std::int64_t> renderNs(std::int64_t frame) const;
    // For pipewire-pulse: when a report asked for would halve the bounds,
    // nothing when there are none yet.
    std::optional<std::int64_t> splitAtNs() const;
    // Whether the bounds are further apart than a start may be off.
    bool wide() const;
    // The stream stopped (an underrun) and restarts later than its reports
    // so far say.
    void forget()
    {
        atLeast_.clear();
        atMost_.clear();
        last_.reset();
    }

private:
    struct Bound {
        std::int64_t atNs;
        std::int64_t firstFrameNs; // frame 0's render time, as a bound
    };
    struct Reading {
        std::int64_t readFrame;
        std::int64_t sinkNs;
    };

    std::optional<std::int64_t> firstFrameNs() const;
    // Keeps `bounds` as the last second's that no later one betters, the
    // best first; `better` says whether one bound is tighter than another.
    template <typename Better>
    static void keep(std::deque<Bound>& bounds, Bound bound, Better better);

    int rate_;
    Server server_;
    std::optional<Reading> last_;
    // Frame 0 is rendered no sooner than these (the latest first) and no
    // later than those (the soonest first).
    std::deque<Bound> atLeast_;
    std::deque<Bound> atMost_;
};
