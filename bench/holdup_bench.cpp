// What a start owes after the whole program stood still (a paused virtual
// machine, a swap storm, a frozen session): the real window, scheduler,
// players and output, through its native PipeWire backend, run in a child
// process of the bench against a PipeWire of the bench's own
// (PrivatePipeWire). Some hundreds of ms before a start's second the bench
// stops the child (SIGSTOP, by its process id) and continues it (SIGCONT)
// 0.5, 1.5 or 3 s later; then three slots due in one second with no hold-up.
// The bench's ear on the sink (PipeWireTap) finds where each slot's tone was
// rendered; the child's standard error says what the program logged of each
// start. Prints `name value unit` lines: the starts refused, those logged as
// not heard that were heard, how far the logged first sample is from where
// the tone was rendered, and where the slot left sounding of three was
// rendered and whether the two it silenced were heard.
// Usage: holdup_bench [repeats of each hold-up and of the same second, default 10]
// (runs as root too, without a desktop session; about 4 minutes, a minute
// with 2)

#include "BenchFail.h"
#include "BenchTime.h"
#include "BenchWindow.h"
#include "Figures.h"
#include "PipeWireTap.h"
#include "PrivatePipeWire.h"
#include "SinkEar.h"
#include "SinkTake.h"
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
#include "player/SoundTime.h"
#include "window/TimeOfDayText.h"
#include "window/WindowControls.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace sink_take;

// The child is stopped this long before the start's second: the tick of the
// second before has placed the start ahead, and the program stands still
// across its second.
constexpr std::int64_t StopBeforeNs = 300'000'000;
constexpr std::array<int, 3> HoldsMs{500, 1500, 3000};
constexpr int CalibrationClicks = 6;

// Pitches 150 Hz apart, all on the 50 Hz grid of the 20 ms windows that look
// for them, so that one slot's tone leaks nothing into another's bin.
constexpr SlotTones Tones{150};

std::int64_t wallNs()
{
    return SoundTime::wallClockNs();
}

// Sleeps until the wall clock reaches `ns`, to a fraction of a millisecond:
// the moments of a hold-up are the bench's to keep, not its event loop's.
void sleepUntil(std::int64_t ns)
{
    for (std::int64_t left = ns - wallNs(); left > 0; left = ns - wallNs())
        ::usleep(left > 3'000'000 ? useconds_t((left - 2'000'000) / 1000) : 100);
}

QString timeOfSecond(std::int64_t ns)
{
    return timeOfDayText(QDateTime::fromMSecsSinceEpoch(ns / 1'000'000).time());
}

// ---- The child: the program as main() builds it -------------------------

// The output first, which opens at once, then the window, whose players
// share it; each slot given its tone. Start times come from the parent on
// standard input, one line `<second since the epoch> <slot> [<slot> ...]`
// each; the end of the input ends the program.
int runProgram(const QString& folder)
{
    const std::array<QString, SlotCount> files = Tones.make(folder);

    SystemClock clock;
    QuietBoxes quiet("holdup_bench");
    AudioOutput output;
    LengthScanner lengths;
    Mp3FileCheck fileCheck;
    KernelClockSync clockSync;
    ChosenPaths dialogs;
    PlatformServices platform{clock, quiet, quiet, quiet,
        [&](int) { return std::make_unique<Mp3Player>(output, lengths); }, output.mixer(),
        dialogs.maker(), output, fileCheck, clockSync};
    MainWindow window(platform);
    window.onLoad();
    window.show();
    for (int i = 0; i < SlotCount; ++i)
        dialogs.choose(window.controls(), i, files[std::size_t(i)]);
    if (!allFilesOpen(window, 30000))
        benchFail("the program did not open the slots' files");
    std::printf("ready\n");
    std::fflush(stdout);

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            window.endProgram();
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, std::size_t(got));
        for (auto newline = pending.find('\n'); newline != std::string::npos;
             newline = pending.find('\n')) {
            const QStringList words =
                QString::fromStdString(pending.substr(0, newline)).split(QLatin1Char(' '));
            pending.erase(0, newline + 1);
            const QTime at = QDateTime::fromSecsSinceEpoch(words.value(0).toLongLong()).time();
            for (qsizetype w = 1; w < words.size(); ++w)
                window.timetable().setStartTime(words[w].toInt(), at);
        }
    });
    return QCoreApplication::exec();
}

// ---- The parent's ear ----------------------------------------------------

// When the sink rendered each recorded frame. The reports within their span
// place a moment, else the nearest dozen: the graph may have stood still with
// the program (server_bench, which never stops it, takes no fallback).
constexpr Reports EarReports = Reports::WithinSpanElseNearestDozen;

// A silenced slot's pitch this loud (of full scale; the tones are at half)
// was heard.
constexpr double SilencedLevel = 0.05;

// ---- The run ---------------------------------------------------------------

struct Trial {
    int holdMs; // 0: the same second, no hold-up
    std::vector<int> due; // due together; the last is left sounding
    std::int64_t secondNs = 0;
    std::int64_t stoppedNs = 0;
    std::int64_t continuedNs = 0;
};

// What the program logged of a slot's start at a second.
struct Logged {
    enum class Kind { None, Heard, SilencedBySameSecond, NotHeard, Refused, Missed };
    Kind kind = Kind::None;
    std::optional<double> firstSampleMs;
    QString line;
};

Logged loggedStart(const QStringList& log, int slot, std::int64_t secondNs)
{
    const QString slotText = QStringLiteral("Slot %1: ").arg(slot + 1);
    const QString due = QStringLiteral(" scheduled for ") + timeOfSecond(secondNs);
    static const QRegularExpression firstSample(QStringLiteral("first sample ([-+][0-9.]+) ms"));
    Logged logged;
    for (const QString& line : log) {
        const qsizetype at = line.indexOf(slotText);
        if (at < 0 || !line.contains(due))
            continue;
        const QString what = line.mid(at + slotText.size());
        logged.line = line;
        if (what.startsWith(QStringLiteral("could not start")))
            logged.kind = Logged::Kind::Refused;
        else if (what.startsWith(QStringLiteral("missed")))
            logged.kind = Logged::Kind::Missed;
        else if (what.contains(QStringLiteral("but it was not heard")))
            logged.kind = Logged::Kind::NotHeard;
        else if (const auto m = firstSample.match(what); m.hasMatch()) {
            logged.kind = Logged::Kind::Heard;
            logged.firstSampleMs = m.captured(1).toDouble();
        } else if (what.startsWith(QStringLiteral("started")))
            logged.kind = Logged::Kind::SilencedBySameSecond;
    }
    return logged;
}

std::string holdSuffix(int holdMs)
{
    char text[16];
    std::snprintf(text, sizeof text, "_%gs", holdMs / 1000.0);
    return text;
}

[[noreturn]] void failChild(QProcess& child, const std::string& why)
{
    child.kill();
    child.waitForFinished(3000);
    benchFail(why);
}

int usage()
{
    std::fprintf(stderr, "usage: holdup_bench [repeats, default 10]\n");
    return 2;
}

int measure(int repeats)
{
    if (!PrivatePipeWire::isInstalled())
        benchFail("pipewire, wireplumber, pipewire-pulse and dbus-daemon are needed "
                  "(tools/install-deps.sh --test installs them where no other server is)");
    const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/holdup_bench-XXXXXX"));
    const QString tones = dir.filePath(QStringLiteral("tones"));
    QDir().mkpath(tones);
    PrivatePipeWire server(dir.filePath(QStringLiteral("pipewire")));
    // The bench's ear is a client of that server alone, as the program is.
    const QProcessEnvironment clients = server.clientEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "PIPEWIRE_RUNTIME_DIR"})
        qputenv(name, clients.value(QString::fromLatin1(name)).toLocal8Bit());
    qunsetenv("PIPEWIRE_REMOTE");
    PipeWireTap tap(PrivatePipeWire::Sink);
    tap.waitForTiming();
    clickOnSilence(tap, CalibrationClicks);

    QProcessEnvironment env = clients;
    env.insert(QStringLiteral("TARNWICK_SOUND_BACKEND"), QStringLiteral("pipewire"));
    env.remove(QStringLiteral("SDL_AUDIODRIVER"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString logPath = dir.filePath(QStringLiteral("program.log"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setStandardErrorFile(logPath);
    child.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--program"), tones});
    if (!child.waitForStarted(5000))
        benchFail("cannot start the program's process");
    const pid_t pid = pid_t(child.processId());
    const std::int64_t readyBy = wallNs() + 60 * SecondNs;
    while (!child.canReadLine() && wallNs() < readyBy)
        child.waitForReadyRead(100);
    if (child.readLine().trimmed() != "ready")
        failChild(child, "the program did not get ready (its log: " + logPath.toStdString() + ")");
    if (!QTest::qWaitFor(
            [&] {
                const auto stream = server.playbackOf(pid);
                return stream && stream->state == QStringLiteral("running");
            },
            10000))
        failChild(child, "the program's stream does not run on the private PipeWire");
    runUntil(wallNs() + SecondNs);

    // The hold-ups and the shared seconds take turns, so that each kind
    // meets the machine as the others do.
    std::vector<Trial> trials;
    for (int k = 0; k < repeats; ++k) {
        for (std::size_t h = 0; h < HoldsMs.size(); ++h)
            trials.push_back({HoldsMs[h], {int((k * 4 + h) % SlotCount)}});
        std::vector<int> three{k % SlotCount, (k + 3) % SlotCount, (k + 7) % SlotCount};
        std::sort(three.begin(), three.end());
        trials.push_back({0, three});
    }
    for (Trial& trial : trials) {
        trial.secondNs = secondAfter(wallNs());
        QByteArray line = QByteArray::number(trial.secondNs / SecondNs);
        for (const int slot : trial.due)
            line += ' ' + QByteArray::number(slot);
        child.write(line + '\n');
        child.waitForBytesWritten(1000);
        if (trial.holdMs > 0) {
            sleepUntil(trial.secondNs - StopBeforeNs);
            trial.stoppedNs = wallNs();
            ::kill(pid, SIGSTOP);
            sleepUntil(trial.stoppedNs + trial.holdMs * 1'000'000LL);
            ::kill(pid, SIGCONT);
            trial.continuedNs = wallNs();
        }
        // The late start is made and logged once the program runs again;
        // its tone has ended before the next trial's second.
        runUntil(std::max(trial.secondNs, trial.continuedNs) + 2 * SecondNs);
        if (child.state() != QProcess::Running)
            benchFail("the program's process ended during the run (its log: " +
                logPath.toStdString() + ")");
    }
    runUntil(wallNs() + 1'500'000'000);
    clickOnSilence(tap, CalibrationClicks);
    const Take take = tap.finish();
    child.closeWriteChannel();
    if (!child.waitForFinished(5000)) {
        child.kill();
        child.waitForFinished(3000);
    }

    QFile logFile(logPath);
    if (!logFile.open(QIODevice::ReadOnly))
        benchFail("the program's log is gone");
    const QStringList log = QString::fromLocal8Bit(logFile.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : log)
        if (!line.isEmpty())
            std::fprintf(stderr, "program: %s\n", qPrintable(line));

    const SinkClock ear(take, EarReports);
    struct Figures {
        int starts = 0;
        int refused = 0;
        int missed = 0;
        int unlogged = 0;
        int unheardButHeard = 0;
        int notFound = 0; // logged as heard, no tone of the slot's found
        int extraSounds = 0; // sound after the tone within the trial
        std::vector<double> renderedMs;
        std::vector<double> loggedMinusRenderedMs;
    };
    std::map<int, Figures> byHold;
    Figures all;
    Figures same;
    int silencedHeard = 0;
    int silencedLoggedHeard = 0;
    double loudestSilenced = 0;
    double quietestLeftSounding = 1;
    for (const Trial& trial : trials) {
        const int slot = trial.due.back();
        const Logged logged = loggedStart(log, slot, trial.secondNs);
        const double at = ear.frameRenderedAt(trial.secondNs);
        const double heldSeconds = double(trial.holdMs) / 1000;
        const auto found =
            firstSound(take.recorded, at - 0.5 * Rate, at + (heldSeconds + 1.5) * Rate, SoundLevel);
        const bool heard = found && isToneOf(take.recorded, *found, Tones.hz(slot));
        const double renderedMs =
            heard ? double(ear.renderedNs(*found) - trial.secondNs) / 1e6 : std::nan("");
        Figures& f = trial.holdMs > 0 ? byHold[trial.holdMs] : same;
        ++f.starts;
        f.refused += logged.kind == Logged::Kind::Refused;
        f.missed += logged.kind == Logged::Kind::Missed;
        f.unlogged += logged.kind == Logged::Kind::None;
        f.unheardButHeard += logged.kind == Logged::Kind::NotHeard && heard;
        f.notFound += logged.kind == Logged::Kind::Heard && !heard;
        if (heard) {
            f.renderedMs.push_back(renderedMs);
            if (logged.firstSampleMs)
                f.loggedMinusRenderedMs.push_back(*logged.firstSampleMs - renderedMs);
            const double toneEnd = double(*found) + (SlotTones::Seconds + 0.1) * Rate;
            f.extraSounds += bool(
                firstSound(take.recorded, toneEnd, at + (heldSeconds + 1.5) * Rate, SoundLevel));
            // The slots silenced by the one left sounding: nothing of their
            // pitch while it sounds, nor after it (the windows across the
            // tone's end hear its cut, which has every pitch).
            for (std::size_t s = 0; s + 1 < trial.due.size(); ++s) {
                bool silencedSounded = false;
                for (auto w = std::size_t(*found); w + WindowFrames < std::size_t(toneEnd) + Rate;
                     w += WindowFrames / 2) {
                    const double fromStart = double(w - *found) / Rate;
                    if (fromStart > SlotTones::Seconds - 0.05 &&
                        fromStart < SlotTones::Seconds + 0.1)
                        continue;
                    const double level = amplitudeAt(take.recorded, w, Tones.hz(trial.due[s]));
                    loudestSilenced = std::max(loudestSilenced, level);
                    silencedSounded |= level > SilencedLevel;
                }
                silencedHeard += silencedSounded;
            }
            // The same windows hear the tone left sounding, or they would
            // hear nothing of the others either.
            if (trial.due.size() > 1)
                for (auto w = std::size_t(*found);
                     double(w + WindowFrames) < double(*found) + (SlotTones::Seconds - 0.05) * Rate;
                     w += WindowFrames / 2)
                    quietestLeftSounding = std::min(
                        quietestLeftSounding, amplitudeAt(take.recorded, w, Tones.hz(slot)));
        }
        for (std::size_t s = 0; s + 1 < trial.due.size(); ++s)
            silencedLoggedHeard +=
                loggedStart(log, trial.due[s], trial.secondNs).kind == Logged::Kind::Heard;
        std::fprintf(stderr,
            "holdup_bench: %s slot %d at %s%s: rendered %+.2f ms from its second; logged: %s\n",
            trial.holdMs > 0 ? ("held " + std::to_string(trial.holdMs) + " ms,").c_str()
                             : "three in one second,",
            slot + 1, qPrintable(timeOfSecond(trial.secondNs)),
            trial.holdMs > 0
                ? (" (stopped " + std::to_string((trial.secondNs - trial.stoppedNs) / 1'000'000) +
                      " ms before, continued " +
                      std::to_string((trial.continuedNs - trial.secondNs) / 1'000'000) +
                      " ms after)")
                      .c_str()
                : "",
            renderedMs, logged.line.isEmpty() ? "nothing" : qPrintable(logged.line));
    }

    for (const auto& [holdMs, f] : byHold) {
        all.starts += f.starts;
        all.refused += f.refused;
        all.missed += f.missed;
        all.unlogged += f.unlogged;
        all.unheardButHeard += f.unheardButHeard;
        all.notFound += f.notFound;
        all.extraSounds += f.extraSounds;
        all.loggedMinusRenderedMs.insert(all.loggedMinusRenderedMs.end(),
            f.loggedMinusRenderedMs.begin(), f.loggedMinusRenderedMs.end());
    }
    print("holdup_starts", all.starts, "count");
    print("holdup_starts_refused", all.refused, "count");
    print("holdup_starts_logged_unheard_but_heard", all.unheardButHeard, "count");
    print("holdup_logged_minus_rendered_max_abs_ms", maxAbs(all.loggedMinusRenderedMs), "ms");
    print("holdup_starts_missed", all.missed, "count");
    print("holdup_starts_unlogged", all.unlogged, "count");
    print("holdup_sounds_not_found", all.notFound, "count");
    print("holdup_sounds_repeated", all.extraSounds, "count");
    for (const auto& [holdMs, f] : byHold) {
        const std::string suffix = holdSuffix(holdMs);
        print("holdup_logged_minus_rendered_max_abs_ms" + suffix, maxAbs(f.loggedMinusRenderedMs),
            "ms");
        print("holdup_rendered_median_ms" + suffix, percentile(f.renderedMs, 0.5), "ms");
        print("holdup_starts_logged_first_sample" + suffix, double(f.loggedMinusRenderedMs.size()),
            "count");
    }
    print("same_second_starts", same.starts, "count");
    print("same_second_left_sounding_rendered_max_abs_ms", maxAbs(same.renderedMs), "ms");
    print("same_second_left_sounding_rendered_median_ms", percentile(same.renderedMs, 0.5), "ms");
    print("same_second_logged_minus_rendered_max_abs_ms", maxAbs(same.loggedMinusRenderedMs), "ms");
    print("same_second_silenced_heard", silencedHeard, "count");
    print("same_second_silenced_level_max", loudestSilenced, "amplitude");
    print("same_second_left_sounding_level_min", quietestLeftSounding, "amplitude");
    print("same_second_silenced_logged_heard", silencedLoggedHeard, "count");
    print("same_second_starts_refused", same.refused, "count");
    print("same_second_sounds_not_found", double(same.starts) - double(same.renderedMs.size()),
        "count");
    print("holdup_calibration_offset_ms", ear.offsetMs(), "ms");
    print("holdup_calibration_spread_ms", ear.spreadMs(), "ms");
    // Zero where the ear lost or repeated no frame, the program's stop
    // included: the largest step of the recording's frames against the wall
    // clock from one report to the next.
    const std::vector<double> steps = reportStepsMs(take.recording);
    const auto largest = std::size_t(std::max_element(steps.begin(), steps.end()) - steps.begin());
    if (!steps.empty())
        std::fprintf(stderr, "holdup_bench: the ear's largest step, %.3f ms, at %s\n",
            steps[largest],
            qPrintable(
                QDateTime::fromMSecsSinceEpoch(take.recording.anchors[largest + 1].atNs / 1'000'000)
                    .toString(QStringLiteral("HH:mm:ss.zzz"))));
    print("holdup_ear_recording_step_max_ms", percentile(steps, 1), "ms");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    drawOffscreenUnlessTold();
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QStringLiteral("--program"))
        return runProgram(args[1]);
    if (args.size() > 1)
        return usage();
    bool number = true;
    const int repeats = args.isEmpty() ? 10 : args[0].toInt(&number);
    if (!number || repeats < 1)
        return usage();
    return measure(repeats);
}
