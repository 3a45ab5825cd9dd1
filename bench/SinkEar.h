#pragma once

#include "SinkTake.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class PipeWireTap;

// Finding a slot's tone in what a sink rendered (a Take's recording), and
// when the sink rendered it.

namespace sink_take {

// A recorded sample further from silence is sound; the slots' tones start at
// their peak at half scale, so their first sample is well above it.
constexpr float SoundLevel = 0.01f;
// The windows amplitudeAt() hears through: 20 ms, so that pitches on a 50 Hz
// grid leak nothing into each other's bins.
constexpr std::size_t WindowFrames = Rate / 50;

// The first sample from `fromFrame` to `toFrame` further from silence than
// `level`.
std::optional<std::size_t> firstSound(
    const std::vector<float>& samples, double fromFrame, double toFrame, float level);

// Whether the sound from `from` on is a tone of `hz`, by its zero crossings
// over 50 ms (within 50 Hz).
bool isToneOf(const std::vector<float>& samples, std::size_t from, int hz);

// The amplitude of `hz` in the WindowFrames from `from` (a periodic Hann
// window: a tone on the window's 50 Hz grid leaks nothing into the other
// bins).
double amplitudeAt(const std::vector<float>& samples, std::size_t from, int hz);

// When the sink rendered each recorded frame: the recording's timeline,
// moved by where it put the clicks of the bench's own playback stream, whose
// render times the server reported alike. `reports` says which of the
// reports place a moment, for the clicks and the recording alike.
class SinkClock {
public:
    SinkClock(const Take& take, Reports reports);

    std::int64_t renderedNs(std::size_t frame) const;
    double frameRenderedAt(std::int64_t ns) const;
    double offsetMs() const { return double(offsetNs_) / 1e6; }
    // How far the clicks were from the offset, at most.
    double spreadMs() const;

private:
    const Take& take_;
    Reports reports_;
    std::vector<double> calibrationNs_;
    std::int64_t offsetNs_ = 0;
};

// The steps of a stream's frames against the wall clock from one report to
// the next, in ms: all near zero where the ear lost or repeated no frame.
std::vector<double> reportStepsMs(const Timeline& timeline);

// `clicks` calibration clicks a third of a second apart, from 0.3 s on, with
// the event loop run until they have passed: placed while the sink is silent,
// as through a PipeWire graph at a large quantum the program's tones can
// sound a second after their start, over a click placed while they play.
void clickOnSilence(PipeWireTap& tap, int clicks);

} // namespace sink_take
