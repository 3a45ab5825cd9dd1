#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// A fixed-size queue of interleaved stereo frames between one writer (a
// decoder thread) and one reader (the mixer in the audio callback). Neither
// side locks or allocates; the memory is taken once, in the constructor.
// clear() may be called only while neither side is using the ring.
class SampleRing {
public:
    explicit SampleRing(std::size_t capacityFrames);

    // Writer side.
    std::size_t freeFrames() const;
    std::size_t write(const float* frames, std::size_t count);

    // Reader side: adds up to `count` frames into `out` and returns how many.
    std::size_t availableFrames() const;
    std::size_t mixInto(float* out, std::size_t count);

    std::size_t capacityFrames() const { return capacity_; }
    void clear();

private:
    std::vector<float> samples_;
    std::size_t capacity_;
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> read_{0};
};
