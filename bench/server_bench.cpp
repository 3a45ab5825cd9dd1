// Where scheduled starts are rendered by a real sound server, of each kind
// installed. A PulseAudio server of the bench's own (a private socket and
// runtime folder, one null sink at 44.1 kHz): the program's real window,
// scheduler, players and output play into it through SDL, as before the
// program had outputs of its own; a libpulse stream of the bench's records
// the sink's monitor and puts each recorded sample at the wall-clock time the
// sink renders it, by the server's own timing reports; clicks that the
// bench's own playback stream places on the sink check that mapping. A
// PipeWire of the bench's own (PrivatePipeWire), heard the same way through
// PipeWire's own streams (PipeWireTap): the program plays into it through
// each of its outputs and SDL's two drivers, at the graph's default quantum
// and at one forced, each in a child process of the bench whose environment
// names the server and the output; then through each the server is
// restarted and the output's return timed. Prints `name value unit` lines.
// Usage: server_bench [--starts N] [--clicks N] [--servers pulseaudio,pipewire]
//            [--routes pipewire,pulseaudio,sdl_pulseaudio,sdl_pipewire] [--quanta 0,4096]
// (runs as root too, without a desktop session; about 13 minutes, or two with
// --starts 4 --clicks 4 --servers pipewire --routes pipewire,pulseaudio)

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
#include "lock/LockStates.h"
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
#include "window/SlotTexts.h"
#include "window/TimeOfDayText.h"
#include "window/WindowControls.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <thread>
#include <vector>

namespace {

using namespace sink_take;

// After the first, a start every other second: each slot's tone (half a
// second) has ended and a calibration click (at the odd second) has passed
// before the next start, so every start begins after silence.
constexpr int StartEverySeconds = 2;
// Pitches 100 Hz apart, each told from the others by its zero crossings.
constexpr SlotTones Tones{100};

// A PulseAudio server of the bench's own, with nothing but a socket and a
// null sink. Its cookie, runtime and state files go to a folder of its own,
// so nothing is left in the home folder; as root PulseAudio only warns that
// it is meant to run as a user. It ends with the bench, even a killed one.
class SoundServer {
public:
    explicit SoundServer(const QTemporaryDir& dir)
        : socket_(dir.filePath(QStringLiteral("native"))),
          log_(dir.filePath(QStringLiteral("pulseaudio.log")))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH"})
            env.insert(QString::fromLatin1(name), dir.path());
        env.remove(QStringLiteral("PULSE_SERVER"));
        server_.setProcessEnvironment(env);
        server_.setProcessChannelMode(QProcess::MergedChannels);
        server_.setStandardOutputFile(log_);
        server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        server_.start(QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                QStringLiteral("--system=false"), QStringLiteral("--exit-idle-time=-1"),
                QStringLiteral("--use-pid-file=false"), QStringLiteral("--log-target=stderr"),
                QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") +
                    socket_,
                QStringLiteral("--load=module-null-sink sink_name=bench rate=44100 channels=2 "
                               "format=float32le")});
        if (!server_.waitForStarted(5000))
            benchFail("pulseaudio does not start (tools/install-deps.sh installs it)");
        if (!QTest::qWaitFor([&] { return QFile::exists(socket_); }, 10000))
            failWithLog("pulseaudio opened no socket");
    }
    ~SoundServer()
    {
        server_.terminate();
        if (!server_.waitForFinished(5000))
            server_.kill();
        server_.waitForFinished(5000);
    }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    QByteArray address() const { return "unix:" + QFile::encodeName(socket_); }
    static constexpr const char* Sink = "bench";
    static constexpr const char* Monitor = "bench.monitor";

    [[noreturn]] void failWithLog(const std::string& why) const
    {
        QFile log(log_);
        if (log.open(QIODevice::ReadOnly))
            std::fprintf(stderr, "%s", log.readAll().constData());
        benchFail(why);
    }

private:
    QString socket_;
    QString log_;
    QProcess server_;
};

std::int64_t nsOf(const timeval& tv)
{
    return std::int64_t(tv.tv_sec) * SecondNs + std::int64_t(tv.tv_usec) * 1000;
}

// The bench's own client of the server: a recording of the sink's monitor,
// a playback stream of silence that carries the calibration clicks, and the
// server's timing reports for both, asked for every 50 ms. Everything but
// the constructor, clickNear() and finish() runs on libpulse's thread.
class SinkTap {
public:
    explicit SinkTap(const SoundServer& server) : loop_(pa_threaded_mainloop_new())
    {
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "server_bench");
        pa_context_set_state_callback(context_, &SinkTap::onContextState, this);
        const Lock lock(loop_);
        if (pa_context_connect(
                context_, server.address().constData(), PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa_threaded_mainloop_start(loop_) < 0)
            server.failWithLog("cannot reach the sound server");
        while (pa_context_get_state(context_) != PA_CONTEXT_READY) {
            if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)))
                server.failWithLog(pa_strerror(pa_context_errno(context_)));
            pa_threaded_mainloop_wait(loop_);
        }
        const pa_sample_spec mono{PA_SAMPLE_FLOAT32LE, Rate, 1};

        record_ = pa_stream_new(context_, "sink monitor", &mono, nullptr);
        pa_stream_set_state_callback(record_, &SinkTap::onStreamState, this);
        pa_stream_set_read_callback(record_, &SinkTap::onRead, this);
        // No latency asked for: the recording must not set the sink's.
        pa_buffer_attr recordAttr{};
        recordAttr.maxlength = std::uint32_t(-1);
        recordAttr.fragsize = std::uint32_t(pa_usec_to_bytes(20'000, &mono));
        pa_stream_connect_record(record_, SoundServer::Monitor, &recordAttr, PA_STREAM_DONT_MOVE);

        playback_ = pa_stream_new(context_, "calibration clicks", &mono, nullptr);
        pa_stream_set_state_callback(playback_, &SinkTap::onStreamState, this);
        pa_stream_set_write_callback(playback_, &SinkTap::onWrite, this);
        // A long buffer asks the sink for a latency longer than the program's
        // stream does, so the clicks leave the sink's latency to the program.
        pa_buffer_attr playbackAttr{};
        playbackAttr.maxlength = std::uint32_t(-1);
        playbackAttr.tlength = std::uint32_t(pa_usec_to_bytes(300'000, &mono));
        playbackAttr.prebuf = std::uint32_t(-1);
        playbackAttr.minreq = std::uint32_t(-1);
        pa_stream_connect_playback(
            playback_, SoundServer::Sink, &playbackAttr, PA_STREAM_DONT_MOVE, nullptr, nullptr);

        for (pa_stream* stream : {record_, playback_})
            while (pa_stream_get_state(stream) != PA_STREAM_READY) {
                if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
                    server.failWithLog(pa_strerror(pa_context_errno(context_)));
                pa_threaded_mainloop_wait(loop_);
            }
        timer_ = pa_context_rttime_new(
            context_, pa_rtclock_now() + TimingEveryUs, &SinkTap::onTimer, this);
    }

    ~SinkTap()
    {
        pa_threaded_mainloop_stop(loop_);
        for (pa_stream* stream : {record_, playback_}) {
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        pa_threaded_mainloop_free(loop_);
    }
    SinkTap(const SinkTap&) = delete;
    SinkTap& operator=(const SinkTap&) = delete;

    // Waits until both streams have had their timing reported a few times.
    void waitForTiming()
    {
        if (!QTest::qWaitFor(
                [&] {
                    const Lock lock(loop_);
                    return take_.recording.anchors.size() >= 5 &&
                        take_.playback.anchors.size() >= 5 && !take_.recorded.empty();
                },
                10000))
            benchFail("the sound server reports no timing");
    }

    // Places a click on the sink about `atNs` on the wall clock, at least
    // the playback buffer ahead. Where it is really rendered is found from
    // the reports around it.
    void clickNear(std::int64_t atNs)
    {
        const Lock lock(loop_);
        const Anchor latest = take_.playback.anchors.back();
        const auto frame = std::int64_t(latest.frame + double(atNs - latest.atNs) / FrameNs);
        if (frame < written_)
            benchFail("a calibration click was asked for too late");
        take_.clickFrames.push_back(frame);
    }

    // Ends the recording; what the streams carried and what the server said.
    Take finish()
    {
        const Lock lock(loop_);
        pa_context_rttime_restart(context_, timer_, PA_USEC_INVALID);
        for (pa_stream* stream : {record_, playback_}) {
            pa_stream_set_read_callback(stream, nullptr, nullptr);
            pa_stream_set_write_callback(stream, nullptr, nullptr);
        }
        return std::move(take_);
    }

private:
    static constexpr pa_usec_t TimingEveryUs = 50'000;

    struct Lock {
        explicit Lock(pa_threaded_mainloop* loop) : loop(loop) { pa_threaded_mainloop_lock(loop); }
        ~Lock() { pa_threaded_mainloop_unlock(loop); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        pa_threaded_mainloop* loop;
    };

    static void onContextState(pa_context*, void* self)
    {
        pa_threaded_mainloop_signal(static_cast<SinkTap*>(self)->loop_, 0);
    }
    static void onStreamState(pa_stream*, void* self)
    {
        pa_threaded_mainloop_signal(static_cast<SinkTap*>(self)->loop_, 0);
    }

    static void onRead(pa_stream* stream, size_t, void* self)
    {
        std::vector<float>& recorded = static_cast<SinkTap*>(self)->take_.recorded;
        const void* data = nullptr;
        size_t bytes = 0;
        while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
            const std::size_t frames = bytes / sizeof(float);
            // A hole the server left keeps its place, so a sample's index is
            // its frame in the stream.
            if (data == nullptr)
                recorded.resize(recorded.size() + frames, 0.0f);
            else
                recorded.insert(recorded.end(), static_cast<const float*>(data),
                    static_cast<const float*>(data) + frames);
            pa_stream_drop(stream);
        }
    }

    static void onWrite(pa_stream* stream, size_t bytes, void* self)
    {
        auto& tap = *static_cast<SinkTap*>(self);
        std::vector<float> block(bytes / sizeof(float), 0.0f);
        const auto end = tap.written_ + std::int64_t(block.size());
        for (const std::int64_t click : tap.take_.clickFrames)
            if (click >= tap.written_ && click < end)
                block[std::size_t(click - tap.written_)] = ClickLevel;
        pa_stream_write(
            stream, block.data(), block.size() * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE);
        tap.written_ = end;
    }

    static void onTimer(pa_mainloop_api*, pa_time_event* event, const timeval*, void* self)
    {
        auto& tap = *static_cast<SinkTap*>(self);
        for (pa_stream* stream : {tap.record_, tap.playback_})
            if (pa_operation* asked =
                    pa_stream_update_timing_info(stream, &SinkTap::onTiming, self))
                pa_operation_unref(asked);
        pa_context_rttime_restart(tap.context_, event, pa_rtclock_now() + TimingEveryUs);
    }

    // The frame the sink renders at the report's timestamp (the server's
    // wall clock when it read the indexes): a monitor's frames reach the
    // recording as the sink mixes them, and a playback stream's frames are
    // read from it then, in both cases the sink's latency before the sink
    // renders them.
    static void onTiming(pa_stream* stream, int success, void* self)
    {
        auto& tap = *static_cast<SinkTap*>(self);
        const pa_timing_info* info = success ? pa_stream_get_timing_info(stream) : nullptr;
        if (info == nullptr || !info->synchronized_clocks)
            return;
        const double sinkFrames = double(info->sink_usec) * Rate / 1e6;
        if (stream == tap.record_ && !info->write_index_corrupt) {
            const double sourceFrames = double(info->source_usec) * Rate / 1e6;
            tap.take_.recording.anchors.push_back({nsOf(info->timestamp),
                double(info->write_index) / sizeof(float) + sourceFrames - sinkFrames});
        } else if (stream == tap.playback_ && !info->read_index_corrupt && info->playing) {
            tap.take_.playback.anchors.push_back(
                {nsOf(info->timestamp), double(info->read_index) / sizeof(float) - sinkFrames});
            tap.take_.sinkLatencyMs.push_back(double(info->sink_usec) / 1000);
        }
    }

    pa_threaded_mainloop* loop_;
    pa_context* context_ = nullptr;
    pa_stream* record_ = nullptr;
    pa_stream* playback_ = nullptr;
    pa_time_event* timer_ = nullptr;
    // Guarded by the mainloop's lock.
    Take take_;
    std::int64_t written_ = 0;
};

QDateTime wallTime(std::int64_t ns)
{
    return QDateTime::fromMSecsSinceEpoch(ns / 1'000'000);
}

struct Start {
    int slot;
    std::int64_t secondNs;
    std::int64_t mixerHeardNs; // where the mixer's timeline put its first sample
};

struct Round {
    std::vector<Start> starts;
    std::vector<std::int64_t> clickedNs;
};

// `starts` scheduled starts, from the second at `firstSecondNs` on, each set
// 1.3 s ahead (before the tick that places it) with a calibration click at
// the second after it (placed by `clickNear`); then `clicks` Run clicks, alternating between two
// slots so that each click starts one (the other's caption goes back to "&RunNow"), at random
// moments of the device's cycle.
Round playRound(WindowControls& c, Timetable& timetable,
    const std::function<void(std::int64_t)>& clickNear,
    const std::array<Mp3Player*, SlotCount>& players, std::int64_t firstSecondNs, int starts,
    int clicks)
{
    Round round;
    std::int64_t secondNs = firstSecondNs;
    for (int k = 0; k < starts; ++k, secondNs += StartEverySeconds * SecondNs) {
        const int slot = k % SlotCount;
        if (SoundTime::wallClockNs() > secondNs - SecondNs)
            benchFail("the bench fell behind its starts");
        timetable.setStartTime(slot, wallTime(secondNs).time());
        clickNear(secondNs + SecondNs);
        runUntil(secondNs + 700'000'000);
        round.starts.push_back({slot, secondNs, players[std::size_t(slot)]->firstSampleNs()});
    }
    runUntil(secondNs);
    for (int k = 0; k < clicks; ++k) {
        QPushButton* run = c.slot(k % 2).runButton;
        if (run->text() != runCaption())
            benchFail("the run button does not offer a start");
        runUntil(SoundTime::wallClockNs() + 1'000'000'000 + std::rand() % 23'000'000);
        round.clickedNs.push_back(SoundTime::wallClockNs());
        QTest::mouseClick(run, Qt::LeftButton);
    }
    runUntil(SoundTime::wallClockNs() + 1'000'000'000);
    return round;
}

// The reports within their span place every moment: the program is never
// stopped here, so a gap in them is the server's fault (holdup_bench, whose
// graph may stand still with the program, falls back on the nearest dozen).
constexpr Reports EarReports = Reports::WithinSpan;

struct Measured {
    // In the order of the round's starts and clicks; a sound not found is
    // left out and counted.
    std::vector<double> startMs; // rendered, from its second
    std::vector<double> timelineErrorMs; // rendered, from the mixer's timeline
    std::vector<double> clickToRenderedMs;
    int notFound = 0;
};

Measured measure(const std::vector<float>& recorded, const SinkClock& sink, const Round& round)
{
    Measured m;
    for (const Start& start : round.starts) {
        const double at = sink.frameRenderedAt(start.secondNs);
        const auto found = firstSound(recorded, at - 0.5 * Rate, at + 1.5 * Rate, SoundLevel);
        if (!found || !isToneOf(recorded, *found, Tones.hz(start.slot))) {
            ++m.notFound;
            continue;
        }
        m.startMs.push_back(double(sink.renderedNs(*found) - start.secondNs) / 1e6);
        m.timelineErrorMs.push_back(double(sink.renderedNs(*found) - start.mixerHeardNs) / 1e6);
    }
    for (std::size_t k = 0; k < round.clickedNs.size(); ++k) {
        const double at = sink.frameRenderedAt(round.clickedNs[k]);
        const auto found = firstSound(recorded, at, at + 1.0 * Rate, SoundLevel);
        if (!found || !isToneOf(recorded, *found, Tones.hz(int(k % 2)))) {
            ++m.notFound;
            continue;
        }
        m.clickToRenderedMs.push_back(double(sink.renderedNs(*found) - round.clickedNs[k]) / 1e6);
    }
    return m;
}

void report(const Measured& m, const std::string& suffix)
{
    print("server_start_rendered_median_ms" + suffix, percentile(m.startMs, 0.5), "ms");
    print("server_start_rendered_p99_abs_ms" + suffix, percentile(absolute(m.startMs), 0.99), "ms");
    print("server_start_rendered_min_ms" + suffix, percentile(m.startMs, 0), "ms");
    print("server_start_rendered_max_ms" + suffix, percentile(m.startMs, 1), "ms");
    print("server_timeline_error_median_ms" + suffix, percentile(m.timelineErrorMs, 0.5), "ms");
    print("server_timeline_error_max_abs_ms" + suffix, percentile(absolute(m.timelineErrorMs), 1),
        "ms");
    print("server_run_click_to_rendered_median_ms" + suffix, percentile(m.clickToRenderedMs, 0.5),
        "ms");
    print("server_run_click_to_rendered_max_ms" + suffix, percentile(m.clickToRenderedMs, 1), "ms");
    print("server_sounds_not_found" + suffix, m.notFound, "count");
}

// The program as main() builds it: the output first, which opens at once,
// then the window, whose players share it; each slot given its tone and
// unlocked, so that the Run buttons take a click (the clock starts slots
// either way).
class BenchProgram {
public:
    explicit BenchProgram(const std::array<QString, SlotCount>& files)
        : quiet_("server_bench"),
          openedNs_(SoundTime::wallClockNs()), platform_{clock_, quiet_, quiet_, quiet_,
                                                   [this](int slot) {
                                                       auto player = std::make_unique<Mp3Player>(
                                                           output_, lengths_);
                                                       players_[std::size_t(slot)] = player.get();
                                                       return player;
                                                   },
                                                   output_.mixer(), dialogs_.maker(), output_,
                                                   fileCheck_, clockSync_},
          window_(platform_)
    {
        window_.onLoad();
        window_.show();
        for (int i = 0; i < SlotCount; ++i)
            dialogs_.choose(controls(), i, files[std::size_t(i)]);
        applyUnlockedState(controls(), timetable());
    }

    WindowControls& controls() { return window_.controls(); }
    Timetable& timetable() { return window_.timetable(); }
    const std::array<Mp3Player*, SlotCount>& players() const { return players_; }
    const AudioOutput& output() const { return output_; }
    std::int64_t openedNs() const { return openedNs_; }
    void end() { window_.endProgram(); }

private:
    SystemClock clock_;
    QuietBoxes quiet_;
    std::int64_t openedNs_;
    AudioOutput output_;
    LengthScanner lengths_;
    Mp3FileCheck fileCheck_;
    KernelClockSync clockSync_;
    std::array<Mp3Player*, SlotCount> players_{};
    ChosenPaths dialogs_;
    PlatformServices platform_;
    MainWindow window_;
};

struct Length {
    int starts = 20;
    int clicks = 20;
};

void printCalibration(const Take& take, const SinkClock& sink, const std::string& suffix)
{
    print("server_sink_latency_median_ms" + suffix, percentile(take.sinkLatencyMs, 0.5), "ms");
    print("server_calibration_offset_ms" + suffix, sink.offsetMs(), "ms");
    print("server_calibration_spread_ms" + suffix, sink.spreadMs(), "ms");
    print("server_calibration_clicks" + suffix, double(take.clickFrames.size()), "count");
    // Zero where no frame was lost or repeated: the largest step of each
    // stream's frames against the wall clock from one report to the next.
    for (const auto& [name, timeline] :
        {std::pair{"server_ear_recording_step_max_ms", &take.recording},
            std::pair{"server_ear_clicks_step_max_ms", &take.playback}}) {
        print(name + suffix, percentile(reportStepsMs(*timeline), 1), "ms");
    }
}

// Through a private PulseAudio and SDL's pulseaudio driver, as before
// PipeWire: the figures keep their names. The first start after the output
// was asked for, then the measured ones; then as many again with one core
// kept busy by a spinning thread.
int measurePrivatePulseAudio(Length length)
{
    QTemporaryDir dir;
    const std::array<QString, SlotCount> files = Tones.make(dir.path());
    const SoundServer server(dir);
    // The program's output and the bench's own client go to that server
    // alone, and keep their cookie beside it.
    qputenv("TARNWICK_SOUND_BACKEND", "sdl");
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    qputenv("PULSE_SERVER", server.address());
    qputenv("PULSE_COOKIE", QFile::encodeName(dir.filePath(QStringLiteral("cookie"))));
    SinkTap tap(server);
    tap.waitForTiming();
    const auto clickNear = [&tap](std::int64_t ns) { tap.clickNear(ns); };

    BenchProgram program(files);
    WindowControls& c = program.controls();
    const Round idle = playRound(c, program.timetable(), clickNear, program.players(),
        secondAfter(program.openedNs()), 1 + length.starts, length.clicks);
    std::atomic<bool> spin{true};
    std::thread busy([&spin] {
        while (spin.load(std::memory_order_relaxed)) { }
    });
    const Round loaded = playRound(c, program.timetable(), clickNear, program.players(),
        secondAfter(SoundTime::wallClockNs()), length.starts, length.clicks);
    spin = false;
    busy.join();
    const Take take = tap.finish();
    program.end();

    const SinkClock sink(take, EarReports);
    const Measured opening = measure(take.recorded, sink, Round{{idle.starts.front()}, {}});
    Measured measured = measure(
        take.recorded, sink, Round{{idle.starts.begin() + 1, idle.starts.end()}, idle.clickedNs});
    measured.notFound += opening.notFound;
    print("server_first_start_rendered_ms",
        opening.startMs.empty() ? std::nan("") : opening.startMs.front(), "ms");
    print("server_first_start_timeline_error_ms",
        opening.timelineErrorMs.empty() ? std::nan("") : opening.timelineErrorMs.front(), "ms");
    report(measured, "");
    report(measure(take.recorded, sink, loaded), "_busy");
    print("server_sink_latency_median_ms", percentile(take.sinkLatencyMs, 0.5), "ms");
    print("server_calibration_offset_ms", sink.offsetMs(), "ms");
    print("server_calibration_spread_ms", sink.spreadMs(), "ms");
    return 0;
}

// The ways the program can reach a PipeWire server: its own backends
// (TARNWICK_SOUND_BACKEND), and SDL's two drivers, the baseline.
struct Route {
    const char* name;
    const char* backend;
    const char* sdlDriver; // for the sdl backend
    bool throughPulse; // a PulseAudio client of pipewire-pulse
};
constexpr std::array<Route, 4> Routes{{
    {"pipewire", "pipewire", nullptr, false},
    {"pulseaudio", "pulseaudio", nullptr, true},
    {"sdl_pulseaudio", "sdl", "pulseaudio", true},
    {"sdl_pipewire", "sdl", "pipewire", false},
}};

const Route* routeNamed(const QString& name)
{
    for (const Route& route : Routes)
        if (name == QLatin1String(route.name))
            return &route;
    return nullptr;
}

std::string suffixOf(const Route& route, int quantum)
{
    return std::string("_") + route.name + (quantum > 0 ? "_q" + std::to_string(quantum) : "");
}

// Whether the program's own stream reached the server the way the route
// says: a program without that backend plays through another. SDL's drivers
// name their stream with SDL's default, "Audio Stream".
bool playsThrough(const Route& route, const PrivatePipeWire::Stream& stream)
{
    const bool throughSdl = stream.name == QStringLiteral("Audio Stream");
    return (stream.api == QStringLiteral("pipewire-pulse")) == route.throughPulse &&
        throughSdl == (std::string_view(route.backend) == "sdl");
}

constexpr int NotThisWay = 3;
constexpr int CalibrationClicks = 6;

// One route at one quantum, in a process of its own (the environment names
// the private PipeWire and the backend): the ear is checked first at this
// quantum (clicks before the program is made and after its last sound),
// then the first start after launch and the measured ones.
int measureThroughPipeWire(const Route& route, int quantum, Length length)
{
    const std::string suffix = suffixOf(route, quantum);
    QTemporaryDir dir;
    const std::array<QString, SlotCount> files = Tones.make(dir.path());
    PipeWireTap tap(PrivatePipeWire::Sink);
    tap.waitForTiming();
    clickOnSilence(tap, CalibrationClicks);

    BenchProgram program(files);
    std::optional<PrivatePipeWire::Stream> stream;
    const bool appeared = QTest::qWaitFor(
        [&] {
            stream = PrivatePipeWire::playbackOf(
                QCoreApplication::applicationPid(), QProcessEnvironment::systemEnvironment());
            return stream.has_value();
        },
        5000);
    if (!appeared || !playsThrough(route, *stream)) {
        std::fprintf(stderr, "server_bench: the program does not play through %s here (%s)\n",
            route.name,
            stream ? qPrintable(
                         stream->api + QStringLiteral(" \"") + stream->name + QStringLiteral("\""))
                   : "no stream of it on the server");
        program.end();
        return NotThisWay;
    }
    const Round round = playRound(
        program.controls(), program.timetable(), [](std::int64_t) {}, program.players(),
        secondAfter(program.openedNs()), 1 + length.starts, length.clicks);
    // Once the last tone has gone, with the program's stream still on the
    // sink.
    runUntil(SoundTime::wallClockNs() + 1'500'000'000);
    clickOnSilence(tap, CalibrationClicks);
    const Take take = tap.finish();
    program.end();

    const SinkClock sink(take, EarReports);
    printCalibration(take, sink, suffix);
    const Measured opening = measure(take.recorded, sink, Round{{round.starts.front()}, {}});
    Measured measured = measure(take.recorded, sink,
        Round{{round.starts.begin() + 1, round.starts.end()}, round.clickedNs});
    print("server_first_start_rendered_ms" + suffix,
        opening.startMs.empty() ? std::nan("") : opening.startMs.front(), "ms");
    report(measured, suffix);
    std::vector<double> logged = absolute(measured.timelineErrorMs);
    for (const double error : absolute(opening.timelineErrorMs))
        logged.push_back(error);
    print("server_logged_minus_rendered_max_abs_ms" + suffix, percentile(logged, 1), "ms");
    if (opening.notFound > 0)
        print("server_first_start_not_found" + suffix, opening.notFound, "count");
    return 0;
}

// Only the program's output, for as long as the bench lets it run.
int keepOutputOpen(QApplication& app)
{
    AudioOutput output;
    return app.exec();
}

QProcessEnvironment routeEnvironment(QProcessEnvironment env, const Route& route)
{
    env.insert(QStringLiteral("TARNWICK_SOUND_BACKEND"), QString::fromLatin1(route.backend));
    if (route.sdlDriver != nullptr)
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QString::fromLatin1(route.sdlDriver));
    else
        env.remove(QStringLiteral("SDL_AUDIODRIVER"));
    return env;
}

// A child of the bench's own program, gone with the bench.
void startChild(QProcess& child, const QStringList& arguments, const QProcessEnvironment& env)
{
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForStarted(5000))
        benchFail("cannot start a child of the bench");
}

int runChild(const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess child;
    startChild(child, arguments, env);
    child.waitForFinished(-1);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

// The program's output open through `route`; the private PipeWire killed
// and started again: how long after it answers again the output's stream
// is back and running on it (20 s at most).
void measureReopen(PrivatePipeWire& server, const Route& route)
{
    const std::string suffix = suffixOf(route, 0);
    QProcess child;
    startChild(child, {QStringLiteral("--output-only")},
        routeEnvironment(server.clientEnvironment(), route));
    std::optional<PrivatePipeWire::Stream> stream;
    const auto running = [&] {
        stream = server.playbackOf(child.processId());
        return stream && stream->state == QStringLiteral("running");
    };
    if (!QTest::qWaitFor(running, 10000) || !playsThrough(route, *stream)) {
        std::fprintf(stderr, "server_bench: no reopening measured through %s: %s\n", route.name,
            stream ? "the program plays another way here" : "its output does not play");
    } else {
        const std::int64_t backNs = server.restart();
        if (QTest::qWaitFor(running, 20000))
            print("server_reopen_after_restart_ms" + suffix,
                double(SoundTime::wallClockNs() - backNs) / 1e6, "ms");
        else
            std::fprintf(
                stderr, "server_bench: through %s the output never came back (20 s)\n", route.name);
    }
    child.terminate();
    if (!child.waitForFinished(5000))
        child.kill();
    child.waitForFinished(5000);
}

QStringList lengthArguments(Length length)
{
    return {QStringLiteral("--starts"), QString::number(length.starts), QStringLiteral("--clicks"),
        QString::number(length.clicks)};
}

bool pulseAudioInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty();
}

int usage()
{
    std::fprintf(stderr,
        "usage: server_bench [--starts N] [--clicks N] [--servers pulseaudio,pipewire]\n"
        "                    [--routes pipewire,pulseaudio,sdl_pulseaudio,sdl_pipewire]\n"
        "                    [--quanta 0,4096]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    drawOffscreenUnlessTold();
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    Length length;
    QStringList servers;
    if (PrivatePipeWire::isInstalled())
        servers << QStringLiteral("pipewire");
    if (pulseAudioInstalled())
        servers << QStringLiteral("pulseaudio");
    QStringList routes;
    for (const Route& route : Routes)
        routes << QString::fromLatin1(route.name);
    QList<int> quanta{0, 4096};
    QString mode;
    QString modeRoute;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (arg == QStringLiteral("--output-only") ||
            arg == QStringLiteral("--private-pulseaudio")) {
            mode = arg;
            continue;
        }
        ++i;
        if (value.isEmpty())
            return usage();
        if (arg == QStringLiteral("--starts"))
            length.starts = std::max(1, value.toInt());
        else if (arg == QStringLiteral("--clicks"))
            length.clicks = std::max(0, value.toInt());
        else if (arg == QStringLiteral("--servers"))
            servers = value.split(QLatin1Char(','));
        else if (arg == QStringLiteral("--routes"))
            routes = value.split(QLatin1Char(','));
        else if (arg == QStringLiteral("--quanta")) {
            quanta.clear();
            for (const QString& q : value.split(QLatin1Char(',')))
                quanta << q.toInt();
        } else if (arg == QStringLiteral("--through")) {
            mode = arg;
            modeRoute = value;
        } else
            return usage();
    }
    for (const QString& name : routes)
        if (routeNamed(name) == nullptr)
            return usage();

    if (mode == QStringLiteral("--output-only"))
        return keepOutputOpen(app);
    if (mode == QStringLiteral("--private-pulseaudio"))
        return measurePrivatePulseAudio(length);
    if (mode == QStringLiteral("--through"))
        return measureThroughPipeWire(
            *routeNamed(modeRoute), quanta.isEmpty() ? 0 : quanta.front(), length);

    int failed = 0;
    if (servers.contains(QStringLiteral("pulseaudio")))
        failed +=
            runChild(QStringList{QStringLiteral("--private-pulseaudio")} << lengthArguments(length),
                QProcessEnvironment::systemEnvironment()) != 0;
    if (servers.contains(QStringLiteral("pipewire"))) {
        QTemporaryDir dir;
        PrivatePipeWire server(dir.path());
        for (const int quantum : quanta) {
            server.forceQuantum(quantum);
            for (const QString& name : routes) {
                const int code = runChild(QStringList{QStringLiteral("--through"), name,
                                              QStringLiteral("--quanta"), QString::number(quantum)}
                        << lengthArguments(length),
                    routeEnvironment(server.clientEnvironment(), *routeNamed(name)));
                failed += code != 0 && code != NotThisWay;
            }
        }
        server.forceQuantum(0);
        for (const QString& name : routes)
            measureReopen(server, *routeNamed(name));
    }
    return failed == 0 ? 0 : 1;
}
