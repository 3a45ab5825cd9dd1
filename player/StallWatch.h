#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

// Whether the sound output stands still, judged by its own progress: the
// callbacks it makes, on the monotonic clock, and only over time the program
// itself ran. The output's device thread looks in every so often; a look
// that comes far later than that means the whole program stood still (it
// was stopped, swapped out, its virtual machine paused), and neither that
// time nor a gap in the callbacks it caused is the output's. A clock set
// forward or back moves none of it.
//
// Threads: callback() on the audio thread, look() and restart() on the
// device thread, standingStillNs() and lastStall() on any; all times are
// CLOCK_MONOTONIC ns, passed in so the rule can be tested at any instant.
class StallWatch {
public:
    // `lookOverdueNs`: a look this long after the last means the program
    // stood still.
    explicit StallWatch(std::int64_t lookOverdueNs) : lookOverdueNs_(lookOverdueNs) { }

    // A callback at `nowNs` asking for a buffer that lasts `bufferNs`.
    void callback(std::int64_t nowNs, std::int64_t bufferNs);
    // The device thread runs at `nowNs`.
    void look(std::int64_t nowNs);
    // A new stream: none of its callbacks has come yet.
    void restart() { lastCallbackNs_.store(0, std::memory_order_relaxed); }

    // How long, at `nowNs`, the output has asked for nothing while the
    // program ran; nothing before its first callback, or when the device
    // thread has not run lately, since then neither has the output's.
    std::optional<std::int64_t> standingStillNs(std::int64_t nowNs) const;

    // The last gap in the callbacks longer than two buffers: when it ended
    // and how long it was. Nothing while none was seen.
    struct Stall {
        std::int64_t endedNs;
        std::int64_t lengthNs;
    };
    std::optional<Stall> lastStall() const;

private:
    const std::int64_t lookOverdueNs_;
    std::atomic<std::int64_t> lastCallbackNs_{0};
    std::atomic<std::int64_t> lastLookNs_{0};
    std::atomic<std::int64_t> resumedNs_{0};
    std::atomic<std::int64_t> stallEndedNs_{0};
    std::atomic<std::int64_t> stallLengthNs_{0};
};
