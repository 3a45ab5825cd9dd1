#pragma once

#include "Recording.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3Player.h"
#include "player/OutputFormat.h"
#include "player/SdlBackend.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

// The output through SDL alone, its device opened by `open`.
inline AudioOutput::BackendChoice sdlOpenedBy(SdlBackend::DeviceOpener open)
{
    return [open] {
        std::vector<std::unique_ptr<SoundBackend>> only;
        only.push_back(std::make_unique<SdlBackend>(open));
        return only;
    };
}

// An output and a scanner as main() builds them, with SDL's disk driver
// recording the mix to a file. The driver writes a device buffer every 10 ms
// instead of every 23 ms, so a second of sound takes less than half a
// second, while the decoders (which top up every 200 ms) still keep up.
class PlayerRig {
    QTemporaryDir dir_; // outlives the output, which writes into it

public:
    PlayerRig();
    ~PlayerRig();

    std::unique_ptr<Mp3Player> makePlayer()
    {
        return std::make_unique<Mp3Player>(*output, lengths);
    }

    QString recordingPath() const { return dir_.filePath(QStringLiteral("out.raw")); }
    qint64 recordedBytes() const;
    Recording recording(qint64 fromByte = 0, qint64 toByte = -1) const
    {
        return Recording::read(recordingPath(), fromByte, toByte);
    }

    // Closes the device, so the recording is complete. The players must be
    // gone by then.
    void closeOutput() { output.reset(); }

    LengthScanner lengths;
    std::optional<AudioOutput> output;
};

// Bytes the disk driver writes per device buffer.
inline constexpr qint64 DeviceBufferBytes =
    OutputFormat::DeviceBufferFrames * OutputFormat::Channels * qint64(sizeof(float));
