#include "player/BackendOrder.h"

#include "player/AlsaBackend.h"
#include "player/PipeWireBackend.h"
#include "player/PulseBackend.h"
#include "player/SdlBackend.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <cstdio>
#include <mutex>

namespace {

struct Known {
    const char* key; // as TARNWICK_SOUND_BACKEND names it
    std::unique_ptr<SoundBackend> (*make)();
};

template <typename Backend> std::unique_ptr<SoundBackend> make()
{
    return std::make_unique<Backend>();
}

constexpr std::array Order{
    Known{"pipewire", make<PipeWireBackend>},
    Known{"pulseaudio", make<PulseBackend>},
    Known{"alsa", make<AlsaBackend>},
    Known{"sdl", make<SdlBackend>},
};

} // namespace

std::vector<std::unique_ptr<SoundBackend>> soundBackendsToTry()
{
    const QByteArray forced = qgetenv("TARNWICK_SOUND_BACKEND");
    std::vector<std::unique_ptr<SoundBackend>> backends;
    for (const Known& known : Order)
        if (forced == known.key)
            backends.push_back(known.make());
    if (!backends.empty())
        return backends;
    if (!forced.isEmpty()) {
        // Asked for on every try until one opens; said once.
        static std::once_flag said;
        std::call_once(said, [&] {
            std::fprintf(stderr,
                "tarnwick: TARNWICK_SOUND_BACKEND=%s names no sound output (pipewire, "
                "pulseaudio, alsa, sdl); trying each in turn\n",
                forced.constData());
        });
    }
    for (const Known& known : Order)
        backends.push_back(known.make());
    return backends;
}
