// Where scheduled starts are rendered by a real sound server. The bench
// starts a PulseAudio server of its own (a private socket and runtime folder,
// one null sink at 44.1 kHz), and the program's real window, scheduler,
// players and output play into it through SDL, as on a desktop. The bench
// records the sink's monitor with a libpulse stream of its own and puts each
// recorded sample at the wall-clock time the sink renders it, by the
// server's own timing reports; clicks that the bench's own playback stream
// places on the sink check that mapping. Prints `name value unit` lines.
// Usage: server_bench (runs as root too, without a desktop session)

#include "AudioOutput.h"
#include "BenchWindow.h"
#include "FileDialog.h"
#include "InputBox.h"
#include "KernelClockSync.h"
#include "LengthScanner.h"
#include "LockStates.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Mp3FileCheck.h"
#include "Mp3Player.h"
#include "ProgramExit.h"
#include "SlotTexts.h"
#include "StartSwitch.h"
#include "SystemClock.h"
#include "WindowControls.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <thread>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr double FrameNs = 1e9 / Rate;
constexpr std::int64_t SecondNs = 1'000'000'000;
// After the first, a start every other second: each slot's tone (half a
// second) has ended and a calibration click (at the odd second) has passed
// before the next start, so every start begins after silence.
constexpr int Starts = 20;
constexpr int StartEverySeconds = 2;
constexpr double ToneSeconds = 0.5;
constexpr int RunClicks = 20;
// A recorded sample further from silence is sound; the tones start at their
// peak (a cosine at half scale), so their first sample is well above it.
constexpr float SoundLevel = 0.01f;
constexpr float ClickLevel = 0.8f;

void print(const std::string& name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name.c_str(), value, unit);
    std::fflush(stdout);
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}

std::vector<double> absolute(std::vector<double> values)
{
    for (double& v : values)
        v = std::abs(v);
    return values;
}

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "server_bench: %s\n", why.c_str());
    std::exit(1);
}

int toneHz(int slot)
{
    return 400 + 100 * slot;
}

QString makeTone(const QTemporaryDir& dir, int slot)
{
    const QString wav = dir.filePath(QStringLiteral("slot%1.wav").arg(slot + 1));
    const QString mp3 = dir.filePath(QStringLiteral("slot%1.mp3").arg(slot + 1));
    // A quarter cycle of phase: the tone starts at its peak.
    QProcess::execute(QStringLiteral("sox"),
        {QStringLiteral("-n"), QStringLiteral("-r"), QString::number(Rate), QStringLiteral("-c"),
            QStringLiteral("2"), wav, QStringLiteral("synth"), QString::number(ToneSeconds),
            QStringLiteral("sine"), QString::number(toneHz(slot)), QStringLiteral("0"),
            QStringLiteral("25"), QStringLiteral("vol"), QStringLiteral("0.5")});
    QProcess::execute(QStringLiteral("lame"),
        {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"), wav, mp3});
    QFile::remove(wav);
    if (!QFile::exists(mp3))
        fail("sox or lame failed");
    return mp3;
}

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
            fail("pulseaudio does not start (tools/install-deps.sh installs it)");
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
        fail(why);
    }

private:
    QString socket_;
    QString log_;
    QProcess server_;
};

// At `atNs` on the wall clock the sink was rendering frame `frame` of a
// stream.
struct Anchor {
    std::int64_t atNs;
    double frame;
};

std::int64_t offsetNs(const Anchor& a)
{
    return a.atNs - std::llround(a.frame * FrameNs);
}

std::int64_t medianOffsetNs(std::vector<std::int64_t> offsets)
{
    if (offsets.empty())
        fail("the sound server sent no timing near a moment measured");
    std::nth_element(
        offsets.begin(), offsets.begin() + std::ptrdiff_t(offsets.size() / 2), offsets.end());
    return offsets[offsets.size() / 2];
}

// A stream's frames against the wall clock, from the server's reports within
// a second of the moment asked about: the two clocks drift apart by parts per
// million, and a stream that ran dry would shift its frames.
struct Timeline {
    std::vector<Anchor> anchors;

    std::int64_t timeOfFrame(double frame) const
    {
        std::vector<std::int64_t> offsets;
        for (const Anchor& a : anchors)
            if (std::abs(a.frame - frame) <= Rate)
                offsets.push_back(offsetNs(a));
        return medianOffsetNs(offsets) + std::llround(frame * FrameNs);
    }
    double frameAt(std::int64_t ns) const
    {
        std::vector<std::int64_t> offsets;
        for (const Anchor& a : anchors)
            if (std::abs(a.atNs - ns) <= SecondNs)
                offsets.push_back(offsetNs(a));
        return double(ns - medianOffsetNs(offsets)) / FrameNs;
    }
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
    struct Take {
        std::vector<float> recorded;
        Timeline recording;
        Timeline playback;
        std::vector<std::int64_t> clickFrames;
        std::vector<double> sinkLatencyMs;
    };

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
            fail("the sound server reports no timing");
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
            fail("a calibration click was asked for too late");
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

std::optional<std::size_t> firstSound(
    const std::vector<float>& samples, double fromFrame, double toFrame, float level)
{
    const auto from = std::size_t(std::max(0.0, fromFrame));
    const auto to = std::min(samples.size(), std::size_t(std::max(0.0, toFrame)));
    for (std::size_t i = from; i < to; ++i)
        if (std::abs(samples[i]) > level)
            return i;
    return std::nullopt;
}

// Whether the sound from `from` on is the tone of `slot`, by its zero
// crossings over 50 ms.
bool isToneOf(const std::vector<float>& samples, std::size_t from, int slot)
{
    const std::size_t span = Rate / 20;
    if (from + span >= samples.size())
        return false;
    int crossings = 0;
    for (std::size_t i = from + 1; i < from + span; ++i)
        crossings += (samples[i - 1] < 0) != (samples[i] < 0);
    return std::abs(crossings * 10 - toneHz(slot)) < 50;
}

QDateTime wallTime(std::int64_t ns)
{
    return QDateTime::fromMSecsSinceEpoch(ns / 1'000'000);
}

// Runs the event loop until the wall clock reaches `ns`.
void runUntil(std::int64_t ns)
{
    while (wallClockNs() < ns) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(500);
    }
}

// The first whole second at least 2.5 s after `ns`: time enough to set a
// start before the tick that places it.
std::int64_t secondAfter(std::int64_t ns)
{
    return (ns + 2'500'000'000) / SecondNs * SecondNs + SecondNs;
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
// the second after it; then the Run clicks, alternating between two slots so
// that each click starts one (the other's caption goes back to "&RunNow"),
// at random moments of the device's cycle.
Round playRound(WindowControls& c, Timetable& timetable, SinkTap& tap,
    const std::array<Mp3Player*, SlotCount>& players, std::int64_t firstSecondNs, int starts)
{
    Round round;
    std::int64_t secondNs = firstSecondNs;
    for (int k = 0; k < starts; ++k, secondNs += StartEverySeconds * SecondNs) {
        const int slot = k % SlotCount;
        if (wallClockNs() > secondNs - SecondNs)
            fail("the bench fell behind its starts");
        timetable.setStartTime(slot, wallTime(secondNs).time());
        tap.clickNear(secondNs + SecondNs);
        runUntil(secondNs + 700'000'000);
        round.starts.push_back({slot, secondNs, players[std::size_t(slot)]->firstSampleNs()});
    }
    runUntil(secondNs);
    for (int k = 0; k < RunClicks; ++k) {
        QPushButton* run = c.slot(k % 2).runButton;
        if (run->text() != runCaption())
            fail("the run button does not offer a start");
        runUntil(wallClockNs() + 1'000'000'000 + std::rand() % 23'000'000);
        round.clickedNs.push_back(wallClockNs());
        QTest::mouseClick(run, Qt::LeftButton);
    }
    runUntil(wallClockNs() + 1'000'000'000);
    return round;
}

// When the sink rendered each recorded frame: the record stream's timeline,
// moved by where it put the clicks of the playback stream, whose render
// times the server reported alike.
class SinkClock {
public:
    explicit SinkClock(const SinkTap::Take& take) : take_(take)
    {
        for (const std::int64_t click : take.clickFrames) {
            const std::int64_t renderedNs = take.playback.timeOfFrame(double(click));
            const double predicted = take.recording.frameAt(renderedNs);
            const auto found = firstSound(
                take.recorded, predicted - 0.1 * Rate, predicted + 0.1 * Rate, ClickLevel / 2);
            if (!found)
                fail("a calibration click was not recorded");
            calibrationNs_.push_back(
                double(renderedNs - take.recording.timeOfFrame(double(*found))));
        }
        offsetNs_ = std::int64_t(percentile(calibrationNs_, 0.5));
    }

    std::int64_t renderedNs(std::size_t frame) const
    {
        return take_.recording.timeOfFrame(double(frame)) + offsetNs_;
    }
    double frameRenderedAt(std::int64_t ns) const
    {
        return take_.recording.frameAt(ns - offsetNs_);
    }
    double offsetMs() const { return double(offsetNs_) / 1e6; }
    // How far the clicks were from the offset, at most.
    double spreadMs() const
    {
        std::vector<double> ms;
        for (const double ns : calibrationNs_)
            ms.push_back(std::abs(ns - double(offsetNs_)) / 1e6);
        return percentile(ms, 1);
    }

private:
    const SinkTap::Take& take_;
    std::vector<double> calibrationNs_;
    std::int64_t offsetNs_ = 0;
};

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
        const auto found = firstSound(recorded, at - 0.8 * Rate, at + 0.8 * Rate, SoundLevel);
        if (!found || !isToneOf(recorded, *found, start.slot)) {
            ++m.notFound;
            continue;
        }
        m.startMs.push_back(double(sink.renderedNs(*found) - start.secondNs) / 1e6);
        m.timelineErrorMs.push_back(double(sink.renderedNs(*found) - start.mixerHeardNs) / 1e6);
    }
    for (std::size_t k = 0; k < round.clickedNs.size(); ++k) {
        const double at = sink.frameRenderedAt(round.clickedNs[k]);
        const auto found = firstSound(recorded, at, at + 0.5 * Rate, SoundLevel);
        if (!found || !isToneOf(recorded, *found, int(k % 2))) {
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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::array<QString, SlotCount> files;
    for (int i = 0; i < SlotCount; ++i)
        files[std::size_t(i)] = makeTone(dir, i);

    const SoundServer server(dir);
    // The program's output and the bench's own client go to that server
    // alone, and keep their cookie beside it.
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    qputenv("PULSE_SERVER", server.address());
    qputenv("PULSE_COOKIE", QFile::encodeName(dir.filePath(QStringLiteral("cookie"))));
    SinkTap tap(server);
    tap.waitForTiming();

    // As main() builds the program: the output first, which opens at once,
    // then the window, whose players share it.
    SystemClock clock;
    QuietBoxes quiet("server_bench");
    const std::int64_t openedNs = wallClockNs();
    AudioOutput output;
    LengthScanner lengths;
    Mp3FileCheck fileCheck;
    KernelClockSync clockSync;
    std::array<Mp3Player*, SlotCount> players{};
    std::array<ChosenPath*, SlotCount> dialogs{};
    PlatformServices platform{clock, quiet, quiet, quiet,
        [&](int slot) {
            auto player = std::make_unique<Mp3Player>(output, lengths);
            players[std::size_t(slot)] = player.get();
            return player;
        },
        [&](int slot) {
            auto dialog = std::make_unique<ChosenPath>();
            dialogs[std::size_t(slot)] = dialog.get();
            return dialog;
        },
        output, fileCheck, clockSync};
    MainWindow window(platform);
    window.onLoad();
    window.show();
    WindowControls& c = window.controls();
    for (int i = 0; i < SlotCount; ++i) {
        dialogs[std::size_t(i)]->next = files[std::size_t(i)];
        emit c.slot(i).chooseFileButton->clicked();
    }
    // Unlocked, so that the Run buttons take a click; the clock starts
    // slots either way.
    applyUnlockedState(c, window.timetable());

    // The first start after the output was asked for, then the 20 measured;
    // then 20 more with one core kept busy by a spinning thread.
    const Round idle =
        playRound(c, window.timetable(), tap, players, secondAfter(openedNs), 1 + Starts);
    std::atomic<bool> spin{true};
    std::thread busy([&spin] {
        while (spin.load(std::memory_order_relaxed)) { }
    });
    const Round loaded =
        playRound(c, window.timetable(), tap, players, secondAfter(wallClockNs()), Starts);
    spin = false;
    busy.join();
    const SinkTap::Take take = tap.finish();
    window.endProgram();

    const SinkClock sink(take);
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
