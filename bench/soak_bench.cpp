// A long day in a few minutes: the real window's scheduler and MP3 players
// (the window is built but never shown) start a slot every few seconds across
// the ten slots while the files under them are replaced and chosen again.
// Prints how the process grows and how late the starts come.
// Usage: soak_bench [minutes, default 5]

#include "BenchWindow.h"
#include "SlotTones.h"
#include "app/MainWindow.h"
#include "platform/FileDialog.h"
#include "platform/InputBox.h"
#include "platform/KernelClockSync.h"
#include "platform/MessageBox.h"
#include "platform/ProgramExit.h"
#include "platform/SystemClock.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3FileCheck.h"
#include "player/Mp3Player.h"
#include "window/WindowControls.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

constexpr int StartEverySeconds = 3;
constexpr int ReplaceFileEverySeconds = 20;

long statusField(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qsizetype(std::strlen(name))).trimmed().split(' ').front().toLong();
    return -1;
}

long openFds()
{
    return long(QDir(QStringLiteral("/proc/self/fd"))
                    .entryList(QDir::NoDotAndDotDot | QDir::System)
                    .size());
}

struct Usage {
    long rssKb = statusField("VmRSS:");
    long fds = openFds();
    long threads = statusField("Threads:");
};

QString makeTone(const QTemporaryDir& dir, const QString& name, double seconds, int hz)
{
    const QString mp3 = makeToneFile(dir.filePath(name), seconds, hz, ToneStart::AtZero);
    if (mp3.isEmpty()) {
        std::fprintf(stderr, "soak_bench: sox or lame failed\n");
        std::exit(1);
    }
    return mp3;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    drawOffscreenUnlessTold();
    QApplication app(argc, argv);
    const double minutes = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 5.0;

    QTemporaryDir dir;
    std::vector<QString> files;
    for (int i = 0; i < SlotCount; ++i)
        files.push_back(
            makeTone(dir, QStringLiteral("slot%1.mp3").arg(i + 1), 2.0 + i % 3, 300 + 40 * i));

    SystemClock clock;
    QuietBoxes quiet("soak_bench");
    AudioOutput output;
    LengthScanner lengths;
    Mp3FileCheck fileCheck;
    KernelClockSync clockSync;
    std::array<std::vector<QDateTime>, SlotCount> plays;
    ChosenPaths dialogs;
    PlatformServices platform{clock, quiet, quiet, quiet,
        [&](int slot) {
            return std::make_unique<TimedPlayer>(
                std::make_unique<Mp3Player>(output, lengths), plays[std::size_t(slot)]);
        },
        output.mixer(), dialogs.maker(), output, fileCheck, clockSync};
    MainWindow window(platform);
    window.onLoad();
    WindowControls& c = window.controls();
    const auto choose = [&](int slot) { dialogs.choose(c, slot, files[std::size_t(slot)]); };
    for (int i = 0; i < SlotCount; ++i)
        choose(i);

    // (slot, second) of every start set, in the order set.
    std::vector<std::pair<int, QDateTime>> due;
    int tick = 0;
    int replaced = 0;
    std::optional<Usage> settled;
    QElapsedTimer settledFor;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        ++tick;
        if (tick % StartEverySeconds == 0) {
            const int slot = (tick / StartEverySeconds) % SlotCount;
            QDateTime at = QDateTime::currentDateTime().addSecs(2);
            at.setTime(QTime(at.time().hour(), at.time().minute(), at.time().second()));
            window.timetable().setStartTime(slot, at.time());
            due.emplace_back(slot, at);
        }
        if (tick % ReplaceFileEverySeconds == 0) {
            // Written beside it and renamed over it, then chosen again.
            const int slot = (tick / ReplaceFileEverySeconds) % SlotCount;
            ++replaced;
            const QString fresh = makeTone(dir, QStringLiteral("fresh%1.mp3").arg(replaced),
                1.5 + replaced % 3, 500 + replaced % 200);
            QFile::remove(files[std::size_t(slot)]);
            QFile::rename(fresh, files[std::size_t(slot)]);
            choose(slot);
        }
        // The first minute settles the caches and threads; growth counts after it.
        if (!settled && tick == 60) {
            settled = Usage{};
            settledFor.start();
        }
    });
    driver.start(1000);
    QTimer::singleShot(int(minutes * 60'000), &app, &QCoreApplication::quit);
    app.exec();
    const Usage end;
    if (!settled) {
        settled = Usage{};
        settledFor.start();
    }

    std::vector<double> lateMs;
    int missed = 0;
    for (const auto& [slot, second] : due) {
        if (second > QDateTime::currentDateTime().addSecs(-1))
            continue; // not yet due when the run ended
        const auto& slotPlays = plays[std::size_t(slot)];
        const auto heard = std::find_if(slotPlays.begin(), slotPlays.end(),
            [&](const QDateTime& at) { return at >= second && at < second.addSecs(1); });
        if (heard == slotPlays.end())
            ++missed;
        else
            lateMs.push_back(double(second.msecsTo(*heard)));
    }
    const double hours = std::max(1.0 / 60, double(settledFor.elapsed()) / 3.6e6);
    std::printf("soak_minutes %.1f min\n", minutes);
    std::printf("soak_starts %zu count\n", lateMs.size() + std::size_t(missed));
    std::printf("soak_starts_missed %d count\n", missed);
    std::printf("soak_start_late_p99_ms %.1f ms\n", percentile(lateMs, 0.99));
    std::printf("soak_start_late_max_ms %.1f ms\n", percentile(lateMs, 1.0));
    std::printf(
        "soak_rss_growth_mb_per_h %.2f MB/h\n", double(end.rssKb - settled->rssKb) / 1024 / hours);
    std::printf("soak_fd_growth %ld count\n", end.fds - settled->fds);
    std::printf("soak_threads_growth %ld count\n", end.threads - settled->threads);
    return 0;
}
