#include "player/SampleRing.h"

#include "player/OutputFormat.h"

#include <algorithm>

namespace {
constexpr std::size_t Channels = OutputFormat::Channels;
}

SampleRing::SampleRing(std::size_t capacityFrames)
    : samples_(capacityFrames * Channels), capacity_(capacityFrames)
{
}

std::size_t SampleRing::freeFrames() const
{
    return capacity_ - std::size_t(written_.load() - read_.load());
}

std::size_t SampleRing::availableFrames() const
{
    return std::size_t(written_.load() - read_.load());
}

std::size_t SampleRing::write(const float* frames, std::size_t count)
{
    const std::uint64_t at = written_.load(std::memory_order_relaxed);
    const std::size_t n = std::min(count, freeFrames());
    const std::size_t start = std::size_t(at % capacity_);
    const std::size_t first = std::min(n, capacity_ - start);
    std::copy_n(frames, first * Channels, samples_.data() + start * Channels);
    std::copy_n(frames + first * Channels, (n - first) * Channels, samples_.data());
    written_.store(at + n, std::memory_order_release);
    return n;
}

std::size_t SampleRing::mixInto(float* out, std::size_t count)
{
    const std::uint64_t at = read_.load(std::memory_order_relaxed);
    const std::size_t n = std::min(count, availableFrames());
    const std::size_t start = std::size_t(at % capacity_);
    const std::size_t first = std::min(n, capacity_ - start);
    const float* a = samples_.data() + start * Channels;
    for (std::size_t i = 0; i < first * Channels; ++i)
        out[i] += a[i];
    float* rest = out + first * Channels;
    for (std::size_t i = 0; i < (n - first) * Channels; ++i)
        rest[i] += samples_[i];
    read_.store(at + n, std::memory_order_release);
    return n;
}

void SampleRing::clear()
{
    written_.store(0);
    read_.store(0);
}
