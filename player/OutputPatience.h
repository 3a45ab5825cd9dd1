#pragma once

#include <chrono>

// How long an open waits on a sound server before giving up, in one table.
// Only the output's device thread waits them out, never the GUI thread, and
// an open that gave up is tried again within half a second: a wait need
// cover one slow answer, not a server that is away.
namespace OutputPatience {

// Any server: how long a first open may take before the check ahead of a
// start says the server does not answer. The open goes on meanwhile; a
// start is not refused until then, so a server that answers late plays.
inline constexpr std::chrono::milliseconds FirstOpen{2000};

// PipeWire: from connecting the stream until the session manager has linked
// it to a sink. WirePlumber links a stream within tens of milliseconds; a
// session still starting, or a server just restarted, takes a second or two
// to offer its default sink again.
inline constexpr std::chrono::seconds PipeWireLink{3};

// PulseAudio: each of an open's three waits (the connection, the server's
// name, the stream made ready). A running server answers each in
// milliseconds; pipewire-pulse started by its socket first starts PipeWire
// itself. Each wait has its own, so a server that answers slowly at every
// step holds an open up to three times this.
inline constexpr std::chrono::seconds PulseAudioStep{3};

} // namespace OutputPatience
