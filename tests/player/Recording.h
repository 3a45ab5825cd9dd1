#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// What SDL's disk driver wrote: the mixer's output as interleaved stereo
// 32-bit float frames.
struct Recording {
    static Recording read(const QString& path, qint64 fromByte = 0, qint64 toByte = -1);

    std::vector<float> left;

    // The frames the player handed over: stretches of exact digital silence
    // (a pause, or a moment the decoder was behind) left out.
    Recording sounding() const;
    bool silent() const;
    double rms() const;
    // Strength of one frequency (Goertzel), as an amplitude of a sine.
    double amplitudeAt(double hz) const;
    double dominantHz() const;
    // The largest change from one sample to the next within the sound; the
    // edges of exact silence are not counted.
    double largestStep() const;
};
