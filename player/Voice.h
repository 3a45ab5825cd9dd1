#pragma once

#include "player/SampleRing.h"

#include <atomic>
#include <cstdint>

// One player's place in the mixer: its decoded sound waiting to be played
// and the flags the three threads use to hand it over.
//
// - The decoder thread writes `ring` and sets `inputEnded` after the last
//   frame of the file.
// - The mixer (audio callback) reads `ring` while `running`, counts what it
//   hands to the device in `playedFrames`, and at the end of the input sets
//   `finished` and clears `running`. Running out of sound while the input
//   goes on, after the voice has begun, sets `ranDry`.
// - The GUI thread sets and clears `running` (play, pause). To give the voice
//   a new file or take it back to its start, it sets `resetPending` and
//   zeroes the counts while the mixer is held off (Mixer::holdMixer);
//   the mixer then leaves the voice alone until the decoder, on its own
//   thread, has emptied the ring and cleared `resetPending`.
// - A start placed ahead (StartSwitch) sets `armed` until it fires, so the
//   decoder keeps the ring topped up for a voice the mixer will start; the
//   mixer then sets `running` itself.
// - A start is recorded where it is made: play() (on the GUI thread, with
//   the mixer held off) or the switch (in the mixer) sets `startMadeNs` (when
//   it was made, on the wall clock: a switch's own second), `placedAhead`
//   (whether the switch made it) and `awaitingFirstSample`; the mixer then
//   writes `firstSampleNs`, when its first sample is rendered on the mixer's
//   timeline, before it clears `awaitingFirstSample`. `heardUntilNs` is when
//   the last frame mixed so far ends.
// - `sounding` is the mixer's: whether the voice was mixed into the last
//   buffer and still runs. A voice paused and played again before the mixer
//   ran is still sounding: that play() resumes the start it had.
struct Voice {
    explicit Voice(std::size_t capacityFrames) : ring(capacityFrames) { }

    SampleRing ring;
    std::atomic<bool> running{false};
    std::atomic<bool> resetPending{false};
    std::atomic<bool> inputEnded{false};
    std::atomic<bool> finished{false};
    std::atomic<bool> ranDry{false};
    std::atomic<std::uint64_t> playedFrames{0};
    std::atomic<bool> armed{false};
    std::atomic<bool> sounding{false};
    std::atomic<std::int64_t> startMadeNs{0};
    std::atomic<bool> placedAhead{false};
    std::atomic<bool> awaitingFirstSample{false};
    std::atomic<std::int64_t> firstSampleNs{0};
    std::atomic<std::int64_t> heardUntilNs{0};
};
