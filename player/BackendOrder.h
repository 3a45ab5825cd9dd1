#pragma once

#include "player/SoundBackend.h"

#include <memory>
#include <vector>

// What a desktop program plays through, in the order to try them: the
// sound server's own client library where a server answers (PipeWire, then
// PulseAudio), ALSA's default device where none does, SDL as the last
// fallback. TARNWICK_SOUND_BACKEND=pipewire|pulseaudio|alsa|sdl names the
// one to use instead (tests and benchmarks pick theirs so).
std::vector<std::unique_ptr<SoundBackend>> soundBackendsToTry();
