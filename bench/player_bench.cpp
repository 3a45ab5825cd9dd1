// How fast the MP3 player opens, measures and starts files, and what it
// costs in memory and CPU, next to the command-line mpg123 where that does
// the same job. Makes its own 1-hour files (about a minute with lame).

#include "Figures.h"
#include "OpenNow.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3File.h"
#include "player/Mp3Player.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr double HourSeconds = 3600;
constexpr int CpuSeconds = 30;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A 1-hour VBR file: a slow sweep, so the bit rate really varies.
QProcess* startEncoding(const QString& mp3, bool xingHeader)
{
    auto* process = new QProcess;
    const QString lame = xingHeader ? QStringLiteral("lame") : QStringLiteral("lame -t");
    process->start(QStringLiteral("sh"),
        {"-c",
            QStringLiteral("sox -n -r 44100 -c 2 -b 16 -t wav - synth %1 sine 200-2000 vol 0.5 "
                           "2>/dev/null | %2 --quiet -V 5 -q 9 - '%3'")
                .arg(HourSeconds)
                .arg(lame, mp3)});
    return process;
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double rssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
    return 0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Share of one core this process uses over `seconds`, while the players do
// whatever they were last told.
double cpuPercentOver(int seconds)
{
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 100 * (cpuSeconds() - before) / (double(wall.nsecsElapsed()) / 1e9);
}

// Time the process has spent on a CPU, in nanoseconds: finer than the clock
// ticks of /proc/<pid>/stat, which a process this light barely registers.
double childCpuSeconds(qint64 pid)
{
    QFile schedstat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!schedstat.open(QIODevice::ReadOnly))
        return 0;
    return schedstat.readAll().split(' ').front().toDouble() / 1e9;
}

// mpg123 decoding to a pipe that is read at the pace of real playback.
double mpg123CpuPercent(const QString& mp3)
{
    QProcess mpg123;
    mpg123.start(QStringLiteral("mpg123"), {"-q", "-s", mp3});
    if (!mpg123.waitForStarted())
        return -1;
    constexpr qint64 BytesPerSecond = 44100 * 2 * 2;
    constexpr int Ticks = CpuSeconds * 10;
    QElapsedTimer wall;
    wall.start();
    qint64 taken = 0;
    for (int tick = 1; tick <= Ticks; ++tick) {
        while (taken < BytesPerSecond * tick / 10) {
            if (mpg123.bytesAvailable() == 0)
                mpg123.waitForReadyRead(100);
            taken += mpg123.read(BytesPerSecond / 10).size();
        }
        const auto due =
            std::chrono::milliseconds(100 * tick) - std::chrono::nanoseconds(wall.nsecsElapsed());
        if (due.count() > 0)
            std::this_thread::sleep_for(due);
    }
    const double cpu = childCpuSeconds(mpg123.processId());
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    mpg123.kill();
    mpg123.waitForFinished();
    return 100 * cpu / seconds;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    qputenv("TARNWICK_SOUND_BACKEND", "sdl");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString xing = dir.filePath(QStringLiteral("hour_xing.mp3"));
    const QString noXing = dir.filePath(QStringLiteral("hour_no_xing.mp3"));
    {
        std::unique_ptr<QProcess> a(startEncoding(xing, true));
        std::unique_ptr<QProcess> b(startEncoding(noXing, false));
        a->waitForFinished(-1);
        b->waitForFinished(-1);
        if (!QFile::exists(xing) || !QFile::exists(noXing)) {
            std::fprintf(stderr, "player_bench: sox or lame failed\n");
            return 1;
        }
    }

    AudioOutput output;
    {
        // Open: median of five, each with a fresh player.
        LengthScanner lengths;
        for (const auto& [name, file] :
            {std::pair{"open_xing_ms", xing}, {"open_noxing_ms", noXing}}) {
            std::vector<double> times;
            for (int i = 0; i < 5; ++i) {
                Mp3Player player(output, lengths);
                QElapsedTimer timer;
                timer.start();
                openNow(player, file);
                times.push_back(msSince(timer));
            }
            print(name, median(times), "ms");
        }
    }
    {
        // The exact length of a file without a header, from a cold scanner.
        LengthScanner lengths;
        Mp3Player player(output, lengths);
        QElapsedTimer timer;
        timer.start();
        openNow(player, noXing);
        const double estimate = player.duration();
        while (std::abs(player.duration() - HourSeconds) > 0.1 && timer.elapsed() < 60000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const double ours = msSince(timer);
        print("duration_estimate_noxing_s", estimate, "s");
        print("exact_duration_noxing_ms", ours, "ms");

        QProcess mpg123;
        timer.restart();
        mpg123.start(QStringLiteral("mpg123"), {"-q", "-t", "-i", "-n", "1", noXing});
        mpg123.waitForFinished(-1);
        const double theirs = msSince(timer);
        print("mpg123_exact_duration_noxing_ms", theirs, "ms");
        print("exact_duration_noxing_ratio", ours / theirs, "x");
    }
    {
        // Play -> first sound handed to the device, with the file freshly
        // opened (the decoder has filled its buffer meanwhile).
        LengthScanner lengths;
        Mp3Player player(output, lengths);
        std::vector<double> times;
        for (int i = 0; i < 9; ++i) {
            openNow(player, xing);
            // A different moment of the device's cycle each time.
            std::this_thread::sleep_for(std::chrono::microseconds(300000 + 1300 * i));
            QElapsedTimer timer;
            timer.start();
            player.play();
            while (player.currentPosition() == 0 && timer.elapsed() < 5000)
                std::this_thread::yield();
            times.push_back(msSince(timer));
            player.pause();
        }
        print("play_to_mixer_ms", median(times), "ms");
        print("play_to_mixer_max_ms", *std::max_element(times.begin(), times.end()), "ms");
    }
    {
        const double before = rssMb();
        LengthScanner lengths;
        std::array<std::unique_ptr<Mp3Player>, 10> players;
        std::vector<QString> files;
        for (std::size_t i = 0; i < players.size(); ++i) {
            const QString copy = dir.filePath(QStringLiteral("hour_%1.mp3").arg(i));
            QFile::copy(i % 2 ? xing : noXing, copy);
            players[i] = std::make_unique<Mp3Player>(output, lengths);
            openNow(*players[i], copy);
        }
        for (auto& player : players)
            while (std::abs(player->duration() - HourSeconds) > 0.5)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        print("rss_before_players_mb", before, "MB");
        print("rss_ten_files_mb", rssMb(), "MB");
    }
    for (const char* suffix : {"", "_busy"}) {
        // The busy core is another process, so its time is not counted here.
        QProcess busy;
        if (*suffix != '\0') {
            busy.start(QStringLiteral("sh"), {"-c", "while :; do :; done"});
            busy.waitForStarted();
        }
        LengthScanner lengths;
        Mp3Player player(output, lengths);
        openNow(player, xing);
        // A freshly opened file is read through once for its exact length,
        // which costs more than playing it for 30 s; the window pays that
        // once per file, not while it plays, so it is left out.
        struct stat status { };
        ::stat(QFile::encodeName(xing).constData(), &status);
        while (!lengths.exactSeconds(FileIdentity::of(xing, stampOf(status))))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        player.play();
        const double ours = cpuPercentOver(CpuSeconds);
        player.pause();
        const auto name = [suffix](const char* figure) { return std::string(figure) + suffix; };
        print(name("cpu_playing_pct").c_str(), ours, "%");
        print(name("cpu_idle_pct").c_str(), cpuPercentOver(CpuSeconds), "%");
        const double theirs = mpg123CpuPercent(xing);
        print(name("mpg123_cpu_playing_pct").c_str(), theirs, "%");
        print(name("cpu_playing_ratio").c_str(), ours / theirs, "x");
        busy.kill();
        busy.waitForFinished();
    }
    return 0;
}
