// What a file whose reads hang holds up: the real window, scheduler and MP3
// players with ten slots, the file of slot 6 (index 5) on a share that stops
// answering two seconds in. From then on every read of that share, and every
// open or check of a file on it, waits for good. For the rest of the run the
// clock starts the other nine slots one after another (and slot 6 once)
// while the operator clicks Run, Stop and Select (another file on the same
// share) on slot 6; then the program is ended with those reads still
// waiting, once by SIGTERM and once by "&Quit". Each run is a child process
// that ends the way the program does (runUntilEnd); the parent times the end.
// Prints, as `name value unit` lines, the longest the GUI thread could not
// run its event loop, the starts of the healthy slots that were not made and
// how long each way of ending took.
// Usage: hang_bench [seconds per run, >= 20, default 30]

#include "BenchWindow.h"
#include "SlotTones.h"
#include "app/MainWindow.h"
#include "app/RunUntilEnd.h"
#include "lock/PasswordDialog.h"
#include "platform/FileDialog.h"
#include "platform/InputBox.h"
#include "platform/KernelClockSync.h"
#include "platform/MessageBox.h"
#include "platform/PlatformError.h"
#include "platform/QtProgramExit.h"
#include "platform/SystemClock.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3FileCheck.h"
#include "player/Mp3Player.h"
#include "window/WindowControls.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

constexpr int HungSlot = 5;
constexpr int ShareHangsAtMs = 2000;
// The operator's clicks on the hung slot, a round every 12 s from 4 s on.
// Each Stop and Select opens a file on the share; the next open comes after
// the player has given up on it, so each one is answered (and not dropped
// for a newer one), and no Run falls between a Stop and its answer, which
// would leave the start standing and the answer unreported.
enum class Click { Run, Stop, Select };
constexpr int FirstRoundAtMs = 4000;
constexpr int RoundMs = 12000;
constexpr std::array<std::pair<int, Click>, 4> Round{
    {{0, Click::Run}, {2000, Click::Stop}, {8000, Click::Select}, {10000, Click::Run}}};
constexpr int FirstStartAtSeconds = 3;
constexpr auto ProbeInterval = std::chrono::milliseconds(5);
// A gap of the probe this much past its interval is named on standard error,
// with how much of it the GUI thread ran, waited for a core or slept.
constexpr double GapWorthNamingMs = 20;
// How long the parent waits for a child that was told to end.
constexpr auto EndPatience = std::chrono::seconds(10);

double msBetween(Steady::time_point from, Steady::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The calling thread's time on a core and waiting in the run queue for one,
// as the kernel counts them; whatever else passes it sleeps, in the event
// loop's poll or in a wait.
struct ThreadTimes {
    double onCoreMs = 0;
    double waitingForCoreMs = 0;
};

ThreadTimes threadTimes()
{
    ThreadTimes times;
    if (std::FILE* stat = std::fopen("/proc/thread-self/schedstat", "r")) {
        unsigned long long onCoreNs = 0;
        unsigned long long waitingNs = 0;
        if (std::fscanf(stat, "%llu %llu", &onCoreNs, &waitingNs) == 2)
            times = {double(onCoreNs) / 1e6, double(waitingNs) / 1e6};
        std::fclose(stat);
    }
    return times;
}

// The share that stops answering, as a hung network mount does: once hung,
// every read, open or check made through it waits, and nothing ever answers.
class Share {
public:
    void hang()
    {
        const std::scoped_lock lock(mutex_);
        hung_ = true;
    }
    void waitForAnswer()
    {
        std::unique_lock lock(mutex_);
        if (!hung_)
            return;
        ++waiting_;
        neverAnswered_.wait(lock, [] { return false; });
    }
    int waiting()
    {
        const std::scoped_lock lock(mutex_);
        return waiting_;
    }

private:
    std::mutex mutex_;
    std::condition_variable neverAnswered_;
    bool hung_ = false;
    int waiting_ = 0;
};

Share share;

mpg123_ssize_t readShare(int fd, void* buffer, size_t bytes)
{
    share.waitForAnswer();
    return ::read(fd, buffer, bytes);
}

// The hung slot's player opens its files as openMp3File does, then reads
// them through the share, so that its decoder's reads hang with the share.
Mp3File openOnShare(const QString& path)
{
    share.waitForAnswer();
    Mp3File file = openMp3File(path);
    mpg123_handle* h = file.handle.get();
    // Replacing the reader closes the stream; it is opened again on the same
    // descriptor, through the share.
    mpg123_replace_reader(h, readShare, ::lseek);
    ::lseek(file.fd.get(), 0, SEEK_SET);
    if (openStream(h, file.fd.get(), file.rate, file.channels) != StreamOpening::Opened)
        throw PlatformError(path + QStringLiteral(": cannot be read through the share"));
    return file;
}

// The checks ahead of a start hang on the share's files as the player does.
class ShareFileCheck final : public SoundFileCheck {
public:
    explicit ShareFileCheck(QString folder) : folder_(std::move(folder)) { }
    FileCheckResult check(const QString& path, std::optional<FileStamp> chosen) const override
    {
        if (path.startsWith(folder_))
            share.waitForAnswer();
        return files_.check(path, chosen);
    }

private:
    QString folder_;
    Mp3FileCheck files_;
};

// A tone of the slots' or the share's; the bench is a forked child here, so
// it ends without running the parent's exit handlers.
QString makeTone(const QString& mp3, double seconds, int hz)
{
    const QString made = makeToneFile(mp3, seconds, hz, ToneStart::AtZero);
    if (made.isEmpty()) {
        std::fprintf(stderr, "hang_bench: sox or lame failed\n");
        ::_exit(1);
    }
    return made;
}

void type(QWidget* widget, const QString& text)
{
    // QTest::keyClicks sends Latin-1 only.
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(widget, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// As the operator does: "&UnLock", the user name and password, "&Enter".
void unlock(MainWindow& window)
{
    QTest::mouseClick(window.controls().unlockButton, Qt::LeftButton);
    PasswordDialog* dialog = window.lock().passwordDialog();
    type(dialog->findChild<QLineEdit*>(QStringLiteral("Text1")), QStringLiteral("\u9752\u77F3"));
    type(dialog->findChild<QLineEdit*>(QStringLiteral("Text2")), QStringLiteral("52081739"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    if (window.controls().unlockButton->isEnabled()) {
        std::fprintf(stderr, "hang_bench: the window did not unlock\n");
        ::_exit(1);
    }
}

enum class Ending { Signal, Quit };

// The child: the scenario, with its files in `folder`, its figures written to
// `report` as `name value unit` lines, then a line `end signal` (the parent sends SIGTERM) or `end
// quit <steady ns>` (the moment "&Quit" is clicked), and the program's end.
[[noreturn]] void runScenario(
    int argc, char** argv, const QDir& dir, int report, Ending ending, int seconds)
{
    QApplication app(argc, argv);
    const QString shareFolder = dir.filePath(QStringLiteral("share/"));
    QDir().mkpath(shareFolder);
    std::array<QString, SlotCount> files;
    for (int i = 0; i < SlotCount; ++i)
        if (i != HungSlot)
            files[std::size_t(i)] = makeTone(
                dir.filePath(QStringLiteral("slot%1.mp3").arg(i + 1)), 2.0 + i % 3, 300 + 40 * i);
    // Long enough that the decoder has to read the share again after it hung.
    const std::array<QString, 3> onShare{
        makeTone(shareFolder + QStringLiteral("bell-a.mp3"), 20, 600),
        makeTone(shareFolder + QStringLiteral("bell-b.mp3"), 20, 650),
        makeTone(shareFolder + QStringLiteral("bell-c.mp3"), 20, 700)};
    files[HungSlot] = onShare[0];

    SystemClock clock;
    QuietBoxes quiet("hang_bench");
    QtProgramExit programExit;
    AudioOutput output;
    LengthScanner lengths;
    const ShareFileCheck fileCheck(shareFolder);
    KernelClockSync clockSync;
    std::array<std::vector<QDateTime>, SlotCount> plays;
    ChosenPaths dialogs;
    PlatformServices platform{clock, quiet, quiet, programExit,
        [&](int slot) {
            FileAccess access;
            if (slot == HungSlot)
                access.open = openOnShare;
            return std::make_unique<TimedPlayer>(
                std::make_unique<Mp3Player>(output, lengths, access), plays[std::size_t(slot)]);
        },
        output.mixer(), dialogs.maker(), output, fileCheck, clockSync};
    MainWindow window(platform);
    window.onLoad();
    window.show();
    WindowControls& c = window.controls();
    unlock(window);
    for (int i = 0; i < SlotCount; ++i) {
        dialogs.setNext(i, files[std::size_t(i)]);
        QTest::mouseClick(c.slot(i).chooseFileButton, Qt::LeftButton);
    }
    if (!allFilesOpen(window, 30000)) {
        std::fprintf(stderr, "hang_bench: the files did not open\n");
        ::_exit(1);
    }

    // The healthy slots one after another, a few seconds apart, and the hung
    // slot once in the middle of the run.
    const Steady::time_point origin = Steady::now();
    QDateTime zero = QDateTime::currentDateTime();
    zero.setTime(QTime(zero.time().hour(), zero.time().minute(), zero.time().second()));
    std::vector<std::pair<int, QDateTime>> due;
    const int every = std::max(1, (seconds - FirstStartAtSeconds) / (SlotCount - 1));
    for (int i = 0, k = 0; i < SlotCount; ++i) {
        const int offset = i == HungSlot ? seconds / 2 - 1 : FirstStartAtSeconds + every * k++;
        const QDateTime at = zero.addSecs(offset);
        window.timetable().setStartTime(i, at.time());
        if (i != HungSlot)
            due.emplace_back(i, at);
    }

    double longestGapMs = 0;
    Steady::time_point lastProbe = origin;
    ThreadTimes lastTimes = threadTimes();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const Steady::time_point now = Steady::now();
        const ThreadTimes times = threadTimes();
        const double gapMs = msBetween(lastProbe, now) - double(ProbeInterval.count());
        longestGapMs = std::max(longestGapMs, gapMs);
        if (gapMs > GapWorthNamingMs) {
            const double sinceMs = msBetween(lastProbe, now);
            const double onCoreMs = times.onCoreMs - lastTimes.onCoreMs;
            const double waitingMs = times.waitingForCoreMs - lastTimes.waitingForCoreMs;
            std::fprintf(stderr,
                "hang_bench: %.2f s: the event loop was held up %.1f ms (of the %.1f ms since "
                "the last probe: on a core %.1f, waiting for one %.1f, asleep %.1f)\n",
                msBetween(origin, now) / 1000, gapMs, sinceMs, onCoreMs, waitingMs,
                sinceMs - onCoreMs - waitingMs);
        }
        lastProbe = now;
        lastTimes = times;
    });
    probe.start(ProbeInterval);

    QTimer::singleShot(ShareHangsAtMs, Qt::PreciseTimer, &app, [&] {
        std::fprintf(stderr, "hang_bench: %.2f s: the share hangs\n",
            msBetween(origin, Steady::now()) / 1000);
        share.hang();
    });
    const SlotControls& hung = c.slot(HungSlot);
    std::size_t selects = 0;
    for (int round = FirstRoundAtMs; round <= (seconds - 2) * 1000; round += RoundMs)
        for (const auto& [offset, click] : Round) {
            if (round + offset > (seconds - 2) * 1000)
                break;
            QTimer::singleShot(round + offset, Qt::PreciseTimer, &app, [&, click = click] {
                QPushButton* button = hung.runButton;
                if (click == Click::Stop)
                    button = hung.stopButton;
                if (click == Click::Select) {
                    button = hung.chooseFileButton;
                    dialogs.setNext(HungSlot, onShare[++selects % onShare.size()]);
                }
                std::fprintf(stderr, "hang_bench: %.2f s: click %s on slot %d%s\n",
                    msBetween(origin, Steady::now()) / 1000,
                    qPrintable(button->text().remove(QLatin1Char('&'))), HungSlot + 1,
                    button->isEnabled() ? "" : " (disabled)");
                QTest::mouseClick(button, Qt::LeftButton);
            });
        }

    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, [&] {
        probe.stop();
        int missed = 0;
        for (const auto& [slot, second] : due) {
            const auto& slotPlays = plays[std::size_t(slot)];
            if (std::none_of(slotPlays.begin(), slotPlays.end(),
                    [&](const QDateTime& at) { return at >= second && at < second.addSecs(1); }))
                ++missed;
        }
        dprintf(report, "hang_gui_block_max_ms %.1f ms\n", longestGapMs);
        dprintf(report, "hang_starts %zu count\n", due.size());
        dprintf(report, "hang_starts_missed %d count\n", missed);
        dprintf(report, "hang_opens_given_up %d count\n",
            int(quiet.shown.filter(QStringLiteral("did not answer")).size()));
        dprintf(report, "hang_threads_waiting %d count\n", share.waiting());
        if (ending == Ending::Signal) {
            dprintf(report, "end signal\n");
            return;
        }
        const auto clickedNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now().time_since_epoch());
        dprintf(report, "end quit %lld\n", static_cast<long long>(clickedNs.count()));
        QTest::mouseClick(c.quitButton, Qt::LeftButton);
    });
    runUntilEnd(window);
}

struct Run {
    std::map<std::string, double> figures;
    std::optional<double> exitMs;
};

// One line from the child, or nothing when it has closed its end or said
// nothing until `deadline`.
std::optional<std::string> readLine(int fd, std::string& pending, Steady::time_point deadline)
{
    for (;;) {
        if (const auto newline = pending.find('\n'); newline != std::string::npos) {
            std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Steady::now());
        pollfd waitFor{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waitFor, 1, int(left.count())) <= 0)
            return std::nullopt;
        char buffer[256];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return std::nullopt;
        pending.append(buffer, std::size_t(got));
    }
}

// Waits for the child until `deadline`; true when it ended by itself with
// exit code 0.
bool reap(pid_t child, Steady::time_point deadline, Steady::time_point& ended)
{
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            ended = Steady::now();
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return true;
            std::fprintf(stderr, "hang_bench: the run's process ended with status %d\n", status);
            return false;
        }
        if (done < 0 || Steady::now() >= deadline) {
            std::fprintf(stderr, "hang_bench: the run's process %d did not end; killed\n", child);
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Run runChild(int argc, char** argv, Ending ending, int seconds)
{
    // Made and removed here: the child ends without running its destructors.
    const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/hang_bench-XXXXXX"));
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        std::perror("hang_bench: pipe");
        std::exit(1);
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("hang_bench: fork");
        std::exit(1);
    }
    if (child == 0) {
        ::close(ends[0]);
        runScenario(argc, argv, QDir(dir.path()), ends[1], ending, seconds);
    }
    ::close(ends[1]);

    Run run;
    std::string pending;
    const Steady::time_point deadline = Steady::now() + std::chrono::seconds(seconds + 120);
    std::optional<Steady::time_point> endAsked;
    while (const std::optional<std::string> line = readLine(ends[0], pending, deadline)) {
        char name[64] = {};
        double value = 0;
        long long quitNs = 0;
        if (*line == "end signal") {
            endAsked = Steady::now();
            ::kill(child, SIGTERM);
            break;
        }
        if (std::sscanf(line->c_str(), "end quit %lld", &quitNs) == 1) {
            endAsked = Steady::time_point(std::chrono::nanoseconds(quitNs));
            break;
        }
        if (std::sscanf(line->c_str(), "%63s %lf", name, &value) == 2)
            run.figures[name] = value;
    }
    ::close(ends[0]);
    if (!endAsked)
        std::fprintf(stderr, "hang_bench: the run did not come to its end\n");
    Steady::time_point ended;
    if (reap(child, endAsked ? *endAsked + EndPatience : Steady::now(), ended) && endAsked)
        run.exitMs = msBetween(*endAsked, ended);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(20, std::atoi(argv[1])) : 30;
    drawOffscreenUnlessTold();

    const Run bySignal = runChild(argc, argv, Ending::Signal, seconds);
    const Run byQuit = runChild(argc, argv, Ending::Quit, seconds);
    const auto both = [&](const char* name) {
        const auto find = [&](const Run& run) {
            const auto it = run.figures.find(name);
            return it == run.figures.end() ? 0.0 : it->second;
        };
        return std::pair{find(bySignal), find(byQuit)};
    };
    const auto [blockSignal, blockQuit] = both("hang_gui_block_max_ms");
    const auto [startsSignal, startsQuit] = both("hang_starts");
    const auto [missedSignal, missedQuit] = both("hang_starts_missed");
    const auto [givenUpSignal, givenUpQuit] = both("hang_opens_given_up");
    const auto [waitingSignal, waitingQuit] = both("hang_threads_waiting");
    std::printf("hang_seconds %d s\n", seconds);
    std::printf("hang_gui_block_max_ms %.1f ms\n", std::max(blockSignal, blockQuit));
    std::printf("hang_starts %.0f count\n", startsSignal + startsQuit);
    std::printf("hang_starts_missed %.0f count\n", missedSignal + missedQuit);
    std::printf("hang_opens_given_up %.0f count\n", givenUpSignal + givenUpQuit);
    std::printf("hang_threads_waiting %.0f count\n", std::min(waitingSignal, waitingQuit));
    // A run that did not end by itself within the patience is a failure, not a figure.
    const auto exitMs = [](const Run& run) { return run.exitMs ? *run.exitMs : -1.0; };
    std::printf("hang_exit_ms %.1f ms\n", exitMs(bySignal));
    std::printf("hang_quit_exit_ms %.1f ms\n", exitMs(byQuit));
    return bySignal.exitMs && byQuit.exitMs ? 0 : 1;
}
