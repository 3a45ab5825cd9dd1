#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct Voice;

// A start placed ahead in the mixer: at the output frame that leaves the
// device at a given wall-clock time, one voice starts and every other voice
// falls silent, so a scheduled start lands on its second to the sample
// instead of a tick, a play() and a device buffer after it.
//
// There is at most one: arming replaces the one before, since of the slots
// due in one second only the last sounds. Threads: arm() and disarm() are
// called on the GUI thread while the mixer is held off
// (under the Mixer's mutex); take() runs in the audio callback.
class StartSwitch {
public:
    struct Cut {
        Voice* voice;
        std::size_t frame; // within the buffer being mixed
        std::int64_t atNs; // the time it was placed at
    };

    void arm(Voice& voice, std::int64_t atNs);
    // Withdraws the switch if it is `voice`'s and has not fired.
    void disarm(const Voice& voice);

    // For a buffer of `frames` frames whose first frame is heard at
    // `firstFrameNs`: the frame the switch fires at, once, if it falls in
    // this buffer. A switch whose time passed more than `lateFrames` frames
    // before this buffer is dropped, and the start is left to the tick.
    std::optional<Cut> take(std::int64_t firstFrameNs, std::size_t frames, std::size_t lateFrames);

private:
    void clear();

    Voice* voice_ = nullptr;
    std::int64_t atNs_ = 0;
};
