#pragma once

#include "BenchFail.h"
#include "model/SlotState.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <array>

// The sine tones the benches give the slots, made as MP3s by sox and lame.

enum class ToneStart {
    AtZero,
    // A quarter cycle of phase: the first sample is the peak, so an ear
    // finds the tone's start from its first sample.
    AtPeak,
};

// `seconds` of a sine at `hz` and half scale, stereo at 44.1 kHz, as the MP3
// `mp3`; empty where sox or lame failed (the bench says so its own way).
inline QString makeToneFile(const QString& mp3, double seconds, int hz, ToneStart start)
{
    const QString wav = mp3 + QStringLiteral(".wav");
    QStringList synth{QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
        QStringLiteral("-c"), QStringLiteral("2"), wav, QStringLiteral("synth"),
        QString::number(seconds), QStringLiteral("sine"), QString::number(hz)};
    if (start == ToneStart::AtPeak)
        synth << QStringLiteral("0") << QStringLiteral("25");
    synth << QStringLiteral("vol") << QStringLiteral("0.5");
    QProcess::execute(QStringLiteral("sox"), synth);
    QProcess::execute(QStringLiteral("lame"),
        {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav, mp3});
    QFile::remove(wav);
    return QFile::exists(mp3) ? mp3 : QString();
}

// The tones an ear on the sink tells apart: half a second each, from the
// peak, every slot its own pitch, `apartHz` above the one before from 400 Hz.
struct SlotTones {
    static constexpr double Seconds = 0.5;
    int apartHz;

    constexpr int hz(int slot) const { return 400 + apartHz * slot; }

    // slot1.mp3 … slot10.mp3 in `folder`.
    std::array<QString, SlotCount> make(const QString& folder) const
    {
        std::array<QString, SlotCount> files;
        for (int i = 0; i < SlotCount; ++i) {
            files[std::size_t(i)] =
                makeToneFile(QDir(folder).filePath(QStringLiteral("slot%1.mp3").arg(i + 1)),
                    Seconds, hz(i), ToneStart::AtPeak);
            if (files[std::size_t(i)].isEmpty())
                benchFail("sox or lame failed");
        }
        return files;
    }
};
