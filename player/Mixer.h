#pragma once

#include "platform/MixerHold.h"
#include "player/MixerTimeline.h"
#include "player/SoundTime.h"
#include "player/StartSwitch.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

struct Voice;

// Adds up the players' voices into each buffer the output asks for, counts
// what it hands over (each voice's position), keeps the timeline on which
// its frames are heard (MixerTimeline), and fires the start placed ahead
// (StartSwitch) at its frame.
//
// Threads: mix() runs on the output's audio thread and only mixes: it reads
// the voices' rings and atomics, never decodes, allocates, or waits for a
// decoder. Everything else is called on the GUI thread (restart() on the
// output's device thread). The mixer's own state (the voices attached, the
// placed start, the timeline) is guarded by one mutex that mix() holds while
// it mixes and the other threads hold for a few assignments, never across a
// call into a backend or a file. The holds nest, so a start held whole
// (MixerHold) may hold it again within.
//
// Ownership: the voices belong to their players, which attach them for their
// lifetime.
class Mixer final : public MixerHold {
public:
    static constexpr std::size_t MaxVoices = 64;

    // The wall clock (ns) the timeline and the starts are counted on; a test
    // that plays the server's part keeps a time of its own.
    using WallClock = std::function<std::int64_t()>;

    explicit Mixer(WallClock wallClock);

    void attach(Voice& voice);
    void detach(Voice& voice);
    std::int64_t wallClockNs() const { return wallClock_(); }

    // While it is held mix() does not run, so a voice can be reset.
    std::unique_lock<std::recursive_mutex> holdMixer() { return std::unique_lock(mixMutex_); }
    void hold() override { mixMutex_.lock(); }
    void release() override { mixMutex_.unlock(); }

    // Places a start ahead (see StartSwitch): `voice` starts at the output
    // frame heard at `atNs` on the wall clock, and every other voice falls
    // silent at that frame. Replaces any switch placed before.
    void armStart(Voice& voice, std::int64_t atNs);
    void disarmStart(const Voice& voice);

    // Where the last switch fired: its frame counted from the output's
    // opening (the frames it was handed before it), and when that frame is
    // heard.
    struct FiredSwitch {
        std::uint64_t frame;
        std::int64_t heardNs;
    };
    std::optional<FiredSwitch> lastFiredSwitch();

    // The output was (re)opened: its frames count from 0 again, and its
    // render times stray by `jitterNs` by themselves.
    void restart(std::int64_t jitterNs);
    // Fills `frames` frames at `out`, the first of which the output renders
    // at `reportedNs`.
    void mix(float* out, std::size_t frames, std::int64_t reportedNs);

private:
    void mixVoice(Voice& voice, float* out, std::size_t frames, std::int64_t firstFrameNs);

    const WallClock wallClock_;
    std::recursive_mutex mixMutex_;
    // Guarded by mixMutex_.
    std::array<Voice*, MaxVoices> voices_{};
    StartSwitch switch_;
    std::uint64_t framesMixed_ = 0;
    std::optional<FiredSwitch> fired_;
    MixerTimeline timeline_;
};
