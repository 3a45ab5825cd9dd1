// What the checks made ahead of the starts cost: the real window, idle, with
// ten slots whose starts fall due one after another during the run, once with
// checks that answer at once without looking (the baseline) and once with the
// real output and file checks. Prints the share of a core the process uses and
// how late after the start of its second each tick of the scheduling clock
// has finished, as `name value unit` lines.
// Usage: readiness_bench [seconds per run, >= 30] [rounds of both runs]

#include "Figures.h"
#include "app/MainWindow.h"
#include "platform/FileDialog.h"
#include "platform/KernelClockSync.h"
#include "platform/MediaPlayer.h"
#include "platform/MixerHold.h"
#include "platform/QtInputBox.h"
#include "platform/QtMessageBox.h"
#include "platform/QtProgramExit.h"
#include "platform/SystemClock.h"
#include "player/AudioOutput.h"
#include "player/Mp3FileCheck.h"
#include "window/WindowControls.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The starts must not play: the figures are those of an idle window.
class SilentPlayer final : public MediaPlayer {
public:
    void open(const QString&, OpenAnswer answer) override { answer(QString()); }
    void play() override { }
    void pause() override { }
    double currentPosition() const override { return 0; }
    double duration() const override { return 0; }
    QStringList takeProblems() override { return {}; }
    bool durationIsEstimate() const override { return false; }
};

// The silent players mix nothing to hold off.
class NoMixer final : public MixerHold {
public:
    void hold() override { }
    void release() override { }
};

class NeverAskedDialog final : public FileDialog {
public:
    std::optional<QString> askOpen(const QString&) override { return std::nullopt; }
};

class NoOutputCheck final : public SoundOutputCheck {
public:
    QString problem() const override { return QString(); }
};

class NoFileCheck final : public SoundFileCheck {
public:
    FileCheckResult check(const QString&, std::optional<FileStamp>) const override
    {
        return {FileStamp{}, QString()};
    }
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double msIntoSecond()
{
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    return double(us % 1'000'000) / 1000.0;
}

QString makeMp3(const QTemporaryDir& dir)
{
    const QString wav = dir.filePath(QStringLiteral("bell.wav"));
    const QString mp3 = dir.filePath(QStringLiteral("bell.mp3"));
    QProcess::execute(QStringLiteral("sox"),
        {"-n", "-r", "44100", "-c", "2", wav, "synth", "20", "sine", "440", "vol", "0.5"});
    QProcess::execute(QStringLiteral("lame"), {"--quiet", "-b", "128", wav, mp3});
    return mp3;
}

// What the runs of one kind measured together.
struct Tally {
    double cpuSeconds = 0;
    double wallSeconds = 0;
    std::vector<double> lateMs;
};

void run(Tally& tally, QApplication& app, int seconds, const QString& mp3,
    SoundOutputCheck& outputCheck, const SoundFileCheck& fileCheck)
{
    SystemClock clock;
    QtMessageBox messageBox;
    QtInputBox inputBox;
    QtProgramExit programExit;
    KernelClockSync clockSync;
    NoMixer mixer;
    PlatformServices platform{clock, messageBox, inputBox, programExit,
        [](int) { return std::make_unique<SilentPlayer>(); }, mixer,
        [](int) { return std::make_unique<NeverAskedDialog>(); }, outputCheck, fileCheck,
        clockSync};
    MainWindow form(platform);
    form.onLoad();
    Timetable& timetable = form.timetable();
    // A start every few seconds through the run, so a file is checked as
    // often as a busy timetable would have it.
    const QTime first = clock.now().time().addSecs(20);
    for (int i = 0; i < SlotCount; ++i) {
        timetable.takeFile(i, mp3);
        timetable.setStartTime(i, first.addSecs(i * (seconds - 20) / SlotCount));
    }

    std::vector<double> lateMs;
    // Connected after the window's own handler, so each reading is taken
    // when the whole tick, checks included, is done.
    QObject::connect(form.controls().schedulerTimer, &QTimer::timeout, &app,
        [&] { lateMs.push_back(msIntoSecond()); });
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &app, &QApplication::quit);
    const double cpuBefore = cpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    end.start(seconds * 1000);
    app.exec();
    tally.wallSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    tally.cpuSeconds += cpuSeconds() - cpuBefore;
    // The first tick comes from the window's start-up timer, not yet on the second.
    tally.lateMs.insert(tally.lateMs.end(), lateMs.begin() + 1, lateMs.end());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qgetenv("SDL_AUDIODRIVER").isEmpty())
        qputenv("SDL_AUDIODRIVER", "dummy");
    if (qgetenv("TARNWICK_SOUND_BACKEND").isEmpty())
        qputenv("TARNWICK_SOUND_BACKEND", "sdl");
    QApplication app(argc, argv);
    const int seconds = std::max(30, argc > 1 ? std::atoi(argv[1]) : 60);
    const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 3);
    QTemporaryDir dir;
    const QString mp3 = makeMp3(dir);

    // The two kinds take turns, so that the other work on the machine weighs
    // on both alike.
    NoOutputCheck noOutputCheck;
    NoFileCheck noFileCheck;
    AudioOutput output;
    Mp3FileCheck fileCheck;
    Tally without;
    Tally with;
    for (int round = 0; round < rounds; ++round) {
        run(without, app, seconds, mp3, noOutputCheck, noFileCheck);
        run(with, app, seconds, mp3, output, fileCheck);
    }

    const double cpuWithout = 100 * without.cpuSeconds / without.wallSeconds;
    const double cpuWith = 100 * with.cpuSeconds / with.wallSeconds;
    print("cpu_idle_pct_without_checks", cpuWithout, "%");
    print("cpu_idle_pct", cpuWith, "%");
    print("checks_cpu_pct", cpuWith - cpuWithout, "%");
    print("tick_late_median_ms_without_checks", nearestRank(without.lateMs, 0.5), "ms");
    print("tick_late_median_ms", nearestRank(with.lateMs, 0.5), "ms");
    print("tick_late_p99_ms_without_checks", nearestRank(without.lateMs, 0.99), "ms");
    print("tick_late_p99_ms", nearestRank(with.lateMs, 0.99), "ms");
    print("ticks_measured", double(with.lateMs.size()), "count");
    return 0;
}
