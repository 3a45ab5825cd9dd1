// Where a scheduled start is heard, on the mixer's own timeline (callback
// wall time + device latency + frame index): placed ahead in the mixer, and
// the way it was done before, play() and pause() from a precise timer at the
// tick, as the baseline; how clean the cut between the two slots is; and how
// soon a start by hand is heard. Every figure idle and with one core kept
// busy by a spinning thread. Prints `name value unit` lines.
// Usage: start_bench [starts per run, >= 60]

#include "Figures.h"
#include "OpenNow.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3Player.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Handles events until `done` holds or a second has passed.
template <typename Done> bool waitFor(Done done)
{
    const qint64 until = QDateTime::currentMSecsSinceEpoch() + 1000;
    while (!done()) {
        if (QDateTime::currentMSecsSinceEpoch() > until)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(200);
    }
    return true;
}

enum class Path { Ahead, AtTheTick };

struct Figures {
    std::vector<double> offsetMs;
    std::vector<double> gapFrames;
};

// `starts` starts, each a quarter second ahead, alternating between two
// players so that one is always playing when the other starts.
Figures measureStarts(Mp3Player& a, Mp3Player& b, Path path, int starts)
{
    Figures f;
    Mp3Player* playing = &a;
    Mp3Player* next = &b;
    a.play();
    QThread::msleep(300);
    for (int i = 0; i < starts; ++i) {
        const QDateTime at = QDateTime::currentDateTime().addMSecs(250);
        const std::int64_t heardBefore = next->firstSampleNs();
        if (path == Path::Ahead) {
            next->armStartAt(at);
        } else {
            QTimer tick;
            tick.setTimerType(Qt::PreciseTimer);
            tick.setSingleShot(true);
            QObject::connect(&tick, &QTimer::timeout, [&] {
                next->play();
                playing->pause();
            });
            tick.start(int(QDateTime::currentDateTime().msecsTo(at)) + 1);
            waitFor([&] { return next->isPlaying(); });
        }
        if (!waitFor([&] { return next->firstSampleNs() != heardBefore; })) {
            std::fprintf(stderr, "start_bench: a start was not heard\n");
            std::exit(1);
        }
        waitFor([&] { return !playing->isPlaying(); });
        f.offsetMs.push_back(
            double(next->firstSampleNs() - at.toMSecsSinceEpoch() * 1'000'000) / 1e6);
        f.gapFrames.push_back(
            double(next->firstSampleNs() - playing->heardUntilNs()) * 44100 / 1e9);
        std::swap(playing, next);
    }
    playing->pause();
    return f;
}

// Play on a paused player at a random moment of the device's cycle, until its
// first sample is heard.
std::vector<double> measureRunClicks(Mp3Player& player, int clicks)
{
    std::vector<double> ms;
    for (int i = 0; i < clicks; ++i) {
        QThread::usleep(100000 + unsigned(std::rand() % 23000));
        const std::int64_t heardBefore = player.firstSampleNs();
        const std::int64_t clickedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::system_clock::now().time_since_epoch())
                                           .count();
        player.play();
        waitFor([&] { return player.firstSampleNs() != heardBefore; });
        ms.push_back(double(player.firstSampleNs() - clickedNs) / 1e6);
        player.pause();
    }
    return ms;
}

void runOnce(Mp3Player& a, Mp3Player& b, int starts, const std::string& suffix)
{
    const Figures ahead = measureStarts(a, b, Path::Ahead, starts);
    const Figures tick = measureStarts(a, b, Path::AtTheTick, starts);
    for (const auto& [name, figures] :
        {std::pair{"start_offset", &ahead}, {"tick_start_offset", &tick}}) {
        print(std::string(name) + "_median_ms" + suffix, percentile(figures->offsetMs, 0.5), "ms");
        print(std::string(name) + "_p99_ms" + suffix, percentile(figures->offsetMs, 0.99), "ms");
        print(std::string(name) + "_max_ms" + suffix, percentile(figures->offsetMs, 1), "ms");
    }
    print("start_offset_p99_ratio" + suffix,
        percentile(tick.offsetMs, 0.99) / std::max(percentile(ahead.offsetMs, 0.99), 1e-3), "x");
    print("switch_gap_frames" + suffix,
        std::max(
            std::abs(percentile(ahead.gapFrames, 0)), std::abs(percentile(ahead.gapFrames, 1))),
        "frames");
    print("tick_switch_gap_frames_median" + suffix, percentile(tick.gapFrames, 0.5), "frames");
    const std::vector<double> clicks = measureRunClicks(a, 30);
    print("run_click_to_output_median_ms" + suffix, percentile(clicks, 0.5), "ms");
    print("run_click_to_output_max_ms" + suffix, percentile(clicks, 1), "ms");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    qputenv("TARNWICK_SOUND_BACKEND", "sdl");
    QCoreApplication app(argc, argv);
    const int starts = std::max(60, argc > 1 ? std::atoi(argv[1]) : 60);
    QTemporaryDir dir;
    const QString tone = dir.filePath(QStringLiteral("tone.mp3"));
    QProcess encode;
    encode.start(QStringLiteral("sh"),
        {"-c",
            QStringLiteral("sox -n -r 44100 -c 2 -b 16 -t wav - synth 120 sine 440 vol 0.5 "
                           "2>/dev/null | lame --quiet -b 128 - '%1'")
                .arg(tone)});
    if (!encode.waitForFinished(-1) || encode.exitCode() != 0) {
        std::fprintf(stderr, "start_bench: sox or lame failed\n");
        return 1;
    }
    AudioOutput output;
    LengthScanner lengths;
    Mp3Player a(output, lengths);
    Mp3Player b(output, lengths);
    openNow(a, tone);
    openNow(b, tone);
    runOnce(a, b, starts, "");
    std::atomic<bool> spin{true};
    std::thread busy([&spin] {
        while (spin.load(std::memory_order_relaxed)) { }
    });
    runOnce(a, b, starts, "_busy");
    spin = false;
    busy.join();
    return 0;
}
