#include "FakeServer.h"
#include "FormHarness.h"
#include "Recording.h"
#include "TestSounds.h"
#include "player/LengthScanner.h"
#include "player/Mp3Player.h"
#include "player/SoundTime.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

// Every way a scheduled start can go, through the real scheduler, players and
// mixer, with the sound server's part played by the test: time is the test's
// own (the clock double and the render times it hands the mixer), so a
// second of sound takes no second to run. Each row gives where the start was
// rendered, against the line the program logged and its status line: the
// table is what the log means.
namespace {

constexpr std::int64_t Ms = SoundTime::NsPerMs;
constexpr std::int64_t Second = SoundTime::NsPerSecond;
// The server renders each buffer this long after it asks for it.
constexpr std::int64_t LatencyNs = 30 * Ms;
constexpr std::size_t BufferFrames = 1024;
constexpr std::int64_t BufferNs = SoundTime::framesToNs(BufferFrames, OutputFormat::SampleRate);
// Ticks come this long after their second.
constexpr std::int64_t TickLateNs = 2 * Ms;

TestSounds& sounds()
{
    static TestSounds s;
    return s;
}

int hzOf(int slot)
{
    return 300 + 110 * slot;
}

// A short tone of the slot's own pitch, over before the clock can ring it
// again.
QString toneOf(int slot)
{
    const QString name = QStringLiteral("slot%1.mp3").arg(slot);
    if (!QFile::exists(sounds().path(name)))
        sounds().tone(name, 0.3, hzOf(slot));
    return sounds().path(name);
}

std::int64_t nsOf(const QDateTime& t)
{
    return t.toMSecsSinceEpoch() * Ms;
}

class Program {
public:
    explicit Program(const QDateTime& start)
        : nowNs_(nsOf(start)), output_(through(server_), [this] { return nowNs_; }),
          h_(
              FormHarness::Start::Loaded,
              [this](int slot) {
                  auto player = std::make_unique<Mp3Player>(output_, lengths_);
                  players_[std::size_t(slot)] = player.get();
                  return player;
              },
              &output_.mixer(), &output_)
    {
        h_.clock.set(start);
        nextPullNs_ = nowNs_;
        nextTickNs_ = nextSecondTick();
        EXPECT_TRUE(QTest::qWaitFor([&] { return output_.isOpen(); }, 5000));
    }

    void give(int slot, QTime at)
    {
        h_.giveFile(slot, toneOf(slot));
        h_.enterStartTime(slot, at);
    }

    // Time passes: the server asks for its buffers and the clock ticks.
    void pass(std::int64_t ns, bool ticking = true)
    {
        const std::int64_t end = nowNs_ + ns;
        while (std::min(nextPullNs_, nextTickNs_) <= end) {
            if (nextPullNs_ <= nextTickNs_ || !ticking) {
                if (nextPullNs_ > end)
                    break;
                advanceTo(nextPullNs_);
                pull();
                nextPullNs_ += BufferNs;
            } else {
                advanceTo(nextTickNs_);
                FormHarness::tick(h_.c().schedulerTimer);
                nextTickNs_ = nextSecondTick();
            }
        }
        advanceTo(end);
        if (!ticking)
            nextTickNs_ = std::max(nextTickNs_, nowNs_);
    }
    // The whole program stands still (stopped, a paused virtual machine);
    // when it goes on, the audio thread runs before the tick or after it.
    void standStill(std::int64_t ns, bool audioFirst)
    {
        advanceTo(nowNs_ + ns);
        nextPullNs_ = nextTickNs_ = nowNs_;
        if (audioFirst)
            pull();
        FormHarness::tick(h_.c().schedulerTimer);
        nextPullNs_ = nowNs_ + BufferNs;
        nextTickNs_ = nextSecondTick();
    }
    // The wall clock is set: time itself goes on as it was.
    void setClock(std::int64_t byNs)
    {
        nowNs_ += byNs;
        h_.clock.set(h_.clock.now().addMSecs(byNs / Ms));
        nextPullNs_ = nowNs_;
        nextTickNs_ = nextSecondTick();
        mark();
    }
    void loseServer()
    {
        server_.goAway();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !output_.unavailable().isEmpty(); }, 5000));
    }
    // What is heard from here on is the row's.
    void mark() { heard_.clear(); }

    // When the first sound after the mark was rendered, and the tenth of a
    // second heard from there.
    std::optional<std::pair<std::int64_t, Recording>> firstSound() const
    {
        for (std::size_t b = 0; b < heard_.size(); ++b) {
            const auto& [renderNs, left] = heard_[b];
            for (std::size_t i = 0; i < left.size(); ++i) {
                if (std::abs(left[i]) < 1e-3f)
                    continue;
                Recording after;
                for (std::size_t c = b; c < heard_.size() && after.left.size() < 4410; ++c)
                    after.left.insert(after.left.end(),
                        heard_[c].second.begin() + std::ptrdiff_t(c == b ? i : 0),
                        heard_[c].second.end());
                return std::pair(
                    renderNs + SoundTime::framesToNs(std::int64_t(i), OutputFormat::SampleRate),
                    after);
            }
        }
        return std::nullopt;
    }

    FormHarness& window() { return h_; }

private:
    std::int64_t nextSecondTick() const
    {
        return (nowNs_ - TickLateNs) / Second * Second + Second + TickLateNs;
    }
    void advanceTo(std::int64_t ns)
    {
        h_.clock.advanceMs(ns / Ms - nowNs_ / Ms);
        nowNs_ = ns;
    }
    void pull()
    {
        if (!server_.up)
            return;
        // The decoders keep up with a real output; this one runs as fast as
        // the test, so each buffer waits for what it will mix.
        const bool decoded = QTest::qWaitFor(
            [&] {
                return std::all_of(players_.begin(), players_.end(), [](Mp3Player* p) {
                    const double left = (p->duration() - p->currentPosition()) * 44100 - 64;
                    return p->duration() == 0 ||
                        double(p->framesDecodedAhead()) >= std::min(double(BufferFrames), left);
                });
            },
            5000);
        ASSERT_TRUE(decoded);
        const std::vector<float> out = server_.pull(BufferFrames, nowNs_ + LatencyNs);
        std::vector<float> left(BufferFrames);
        for (std::size_t i = 0; i < BufferFrames; ++i)
            left[i] = out[i * OutputFormat::Channels];
        heard_.emplace_back(nowNs_ + LatencyNs, std::move(left));
    }

    FakeServer server_;
    std::int64_t nowNs_;
    std::int64_t nextPullNs_ = 0;
    std::int64_t nextTickNs_ = 0;
    std::vector<std::pair<std::int64_t, std::vector<float>>> heard_;
    AudioOutput output_;
    LengthScanner lengths_;
    std::array<Mp3Player*, SlotCount> players_{};
    FormHarness h_;
};

struct StartPath {
    const char* name;
    std::vector<int> due; // all due at the start time; the last is left sounding
    std::function<void(Program&)> around; // from 2.5 s before the start time
    bool heardOnItsSecond; // false: late by what `around` did, or, with no first
                           // sample in `logged`, not at all
    const char* logged;
    const char* status; // empty: nothing on the status line
    QTime startTime = QTime(10, 0);
    QDateTime from = QDateTime(QDate(2026, 12, 7), QTime(9, 59, 57, 500));
};

const std::int64_t S = 2500 * Ms; // the start time, from `from`

// The GUI thread is busy from `beforeNs` ahead of the start time for 1.8 s
// while the audio runs on: no tick comes meanwhile.
std::function<void(Program&)> ticksHeldOff(std::int64_t beforeNs)
{
    return [beforeNs](Program& p) {
        p.pass(S - beforeNs);
        p.pass(1800 * Ms, false);
        p.pass(2 * Second);
    };
}

// The whole program stands still 3 s from 0.3 s ahead of the start time.
std::function<void(Program&)> standsStill(bool audioFirst)
{
    return [audioFirst](Program& p) {
        p.pass(S - 300 * Ms);
        p.standStill(3 * Second, audioFirst);
        p.pass(2 * Second);
    };
}

const StartPath paths[] = {
    {"placed ahead", {3}, [](Program& p) { p.pass(S + 2 * Second); }, true,
        "Slot 4: started slot3 scheduled for 10:00:00, 2 ms late, first sample +0.0 ms", ""},
    {"made by the tick, the tick before it late past it", {3}, ticksHeldOff(1500 * Ms), false,
        "scheduled for 10:00:00, 300 ms late, first sample +3", "more than 5 ms off its second"},
    {"caught up after a late tick", {3}, ticksHeldOff(500 * Ms), true,
        "scheduled for 10:00:00, 1300 ms late (caught up after a late tick), first sample +0.0 ms",
        ""},
    {"caught up after the program stood still, the tick first", {3}, standsStill(false), false,
        "scheduled for 10:00:00, 2700 ms late (caught up after a late tick), first sample +27",
        "more than 5 ms off its second: the program was held up"},
    {"caught up after the program stood still, the audio thread first", {3}, standsStill(true),
        false,
        "scheduled for 10:00:00, 2700 ms late (caught up after a late tick), first sample +27",
        "more than 5 ms off its second: the program was held up"},
    {"two slots in one second", {3, 6}, [](Program& p) { p.pass(S + 2 * Second); }, true,
        "Slot 4: started slot3 scheduled for 10:00:00, 2 ms late\n", ""},
    {"three slots in one second", {1, 3, 6}, [](Program& p) { p.pass(S + 2 * Second); }, true,
        "Slot 7: started slot6 scheduled for 10:00:00, 2 ms late, first sample +0.0 ms", ""},
    {"missed: the clock set forward past it", {3},
        [](Program& p) {
            p.pass(S - 500 * Ms);
            p.setClock(10 * Second);
            p.pass(2 * Second);
        },
        false, "Clock: jumped forward from", "missed slot3 scheduled for 10:00:00"},
    {"the output gone", {3},
        [](Program& p) {
            p.pass(S - 500 * Ms);
            p.loseServer();
            p.pass(2 * Second);
        },
        false, "",
        "could not start slot3 scheduled for 10:00:00, 2 ms late: no sound output: the sound "
        "server is gone (Fake)"},
    {"the clock set back over it, which rings it again", {3},
        [](Program& p) {
            p.pass(S + 600 * Ms);
            p.setClock(-2 * Second);
            p.pass(S);
        },
        true, "Slot 4: started slot3 scheduled for 10:00:00, 2 ms late, first sample +0.0 ms", ""},
    {"summer time begins over it", {3}, [](Program& p) { p.pass(5 * Second); }, false,
        "summer time began", "missed slot3 scheduled for 2:30:00: that time does not occur",
        QTime(2, 30),
        QDateTime(QDate(2026, 3, 29), QTime(1, 59, 57, 500), QTimeZone("Europe/Berlin"))},
};

} // namespace

TEST(StartPaths, EachStartIsLoggedAsItWasRenderedAndTheStatusLineSaysWhatWentWrong)
{
    for (const StartPath& path : paths) {
        SCOPED_TRACE(path.name);
        Program p(path.from);
        for (const int slot : path.due)
            p.give(slot, path.startTime);
        p.mark();
        testing::internal::CaptureStderr();
        path.around(p);
        const QString log = QString::fromStdString(testing::internal::GetCapturedStderr());

        EXPECT_TRUE(log.contains(QString::fromUtf8(path.logged))) << log.toStdString();
        const QString status = p.window().c().statusLine->toolTip();
        if (*path.status == '\0')
            EXPECT_FALSE(p.window().c().statusLine->isVisible()) << status.toStdString();
        else
            EXPECT_TRUE(status.contains(QString::fromUtf8(path.status))) << status.toStdString();
        EXPECT_FALSE(status.contains(QStringLiteral("stood still"))) << "the output never did";

        const QRegularExpression firstSample(QStringLiteral("first sample ([-+][0-9.]+) ms"));
        QRegularExpressionMatch logged;
        for (const auto& m : firstSample.globalMatch(log))
            logged = m;
        const auto sound = p.firstSound();
        const std::int64_t secondNs =
            nsOf(QDateTime(path.from.date(), path.startTime, path.from.timeZone()));
        if (!logged.hasMatch()) {
            EXPECT_FALSE(sound) << "a sound no line says was heard";
            continue;
        }
        ASSERT_TRUE(sound) << "logged as heard, but silent";
        const double renderedMs = double(sound->first - secondNs) / double(Ms);
        EXPECT_NEAR(logged.captured(1).toDouble(), renderedMs, 1.0);
        EXPECT_EQ(std::abs(renderedMs) < 1, path.heardOnItsSecond) << renderedMs;
        for (const int slot : path.due)
            if (slot == path.due.back())
                EXPECT_GT(sound->second.amplitudeAt(hzOf(slot)), 0.3) << "left sounding";
            else
                EXPECT_LT(sound->second.amplitudeAt(hzOf(slot)), 0.01) << "silenced " << slot;
    }
}
