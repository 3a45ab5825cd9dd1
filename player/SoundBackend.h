#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// Why a backend's open failed: the step it failed at and what the server or
// library said. Data, so that one place (OutputFailureText) words it for
// the operator, and a backend never writes prose about itself.
struct OpenFailure {
    enum class Step {
        StartLoop, // the client library's own thread
        Connect, // reaching the server, or opening the device
        MakeStream,
        ConnectStream, // the server refused the stream or did not make it ready
        LinkStream, // the stream was never linked to a sink (PipeWire)
        SetFormat, // the device refuses the mixer's format
        SetSettings, // the device refuses the settings its timing needs
    };
    Step step;
    QString reason; // empty where it gave none, or the wait ran out
};

// One way of reaching the machine's sound output (a sound server's own
// client library, ALSA, or SDL), behind which the mixer does not change: it
// is handed, buffer by buffer, the frames to fill (OutputFormat) and when the
// first of them will be rendered, as the server or the device says.
//
// Threads: made, opened, asked and closed on the output's device thread
// alone; `render` and `wake` are called on the backend's own audio thread.
// open() and close() may wait as long as a hung server does, which is why
// the GUI thread never calls them.
class SoundBackend {
public:
    // Fill `frames` interleaved frames at `out`; their first frame is rendered
    // at `firstFrameNs` on the wall clock (SoundTime::wallClockNs()).
    using Render = std::function<void(float* out, std::size_t frames, std::int64_t firstFrameNs)>;

    enum class Health {
        Playing,
        DeviceLost, // the device, or the stream to it, went away; the same server may give another
        ServerGone, // the sound server itself ended or stopped answering
    };

    virtual ~SoundBackend() = default;

    // How it is named to the operator: "PipeWire", "PulseAudio", "ALSA", "SDL".
    virtual QString name() const = 0;
    // Whether the render times are the server's or the device's own report,
    // or an estimate from the time of the callback.
    virtual bool reportsRenderTime() const = 0;
    // How far its render times stray from a steady line by themselves (an
    // audio thread's wake-ups, a coarse device pointer): the mixer's
    // timeline smooths within twice this, and takes a larger step at once as
    // a new latency.
    virtual std::int64_t jitterNs() const = 0;

    // Opens the default output and has it ask for sound; nothing when it
    // plays, else what failed, with everything closed again. `wake` is
    // called when health() changes, so the device thread need not wait for
    // its next look.
    virtual std::optional<OpenFailure> open(Render render, std::function<void()> wake) = 0;
    // After an open that failed: whether its sound server answered and only
    // the stream was refused (no sink yet, say). A desktop whose server runs
    // plays through it once it can, never around it.
    virtual bool serverAnswered() const = 0;
    virtual Health health() = 0;
    // Stops the callbacks before it returns; open() may follow again.
    virtual void close() = 0;
};
