#include "FakeServer.h"
#include "player/AudioOutput.h"
#include "player/BackendOrder.h"
#include "player/OutputFormat.h"
#include "player/SoundTime.h"
#include "player/Voice.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace {

constexpr std::int64_t Ms = 1'000'000;
constexpr std::int64_t NsPerFrame = 1'000'000'000 / OutputFormat::SampleRate + 1;

// A voice with a second of sound waiting.
void fill(Voice& voice)
{
    const std::vector<float> sound(std::size_t(OutputFormat::SampleRate) * 2, 0.5f);
    voice.ring.write(sound.data(), std::size_t(OutputFormat::SampleRate));
}

} // namespace

TEST(OutputBackend, AStartIsPlacedOnTheServersRenderTimesWhateverTheLatencyAndALateOneIsLoggedLate)
{
    FakeServer server;
    AudioOutput output(through(server));
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.isOpen(); }, 10000));
    EXPECT_EQ(output.name(), QStringLiteral("Fake"));
    Voice bell{std::size_t(OutputFormat::SampleRate)};
    fill(bell);
    output.mixer().attach(bell);

    // The graph at 1024 frames, 23 ms ahead, then at 4096, 93 ms ahead: the
    // buffers' times are the server's, whatever the clock of the callback.
    const std::int64_t second = SoundTime::wallClockNs() + 10'000 * Ms;
    std::int64_t at = second - 200 * Ms;
    const auto pull = [&](std::size_t frames) {
        server.pull(frames, at);
        at += std::int64_t(frames) * 1'000'000'000 / OutputFormat::SampleRate;
    };
    for (int i = 0; i < 4; ++i)
        pull(1024);
    at += 70 * Ms;
    output.mixer().armStart(bell, second);
    while (at + 4096 * NsPerFrame <= second)
        pull(4096);
    EXPECT_FALSE(bell.running.load());
    pull(4096);
    ASSERT_TRUE(bell.running.load());
    const auto fired = output.mixer().lastFiredSwitch();
    ASSERT_TRUE(fired.has_value());
    EXPECT_GE(fired->heardNs, second);
    EXPECT_LT(fired->heardNs, second + NsPerFrame);
    EXPECT_EQ(bell.firstSampleNs.load(), fired->heardNs) << "the log's first sample";

    // Known when its buffer is already on its way: sounded at once, late.
    bell.running = false;
    const std::int64_t known = SoundTime::wallClockNs();
    output.mixer().armStart(bell, known + 10 * Ms);
    server.pull(1024, known + 93 * Ms);
    EXPECT_TRUE(bell.running.load());
    EXPECT_EQ(bell.firstSampleNs.load(), known + 93 * Ms);
    // Its second passed a buffer and more before it was asked for: the tick's.
    bell.running = false;
    output.mixer().armStart(bell, known - 100 * Ms);
    server.pull(1024, known + 93 * Ms);
    EXPECT_FALSE(bell.running.load());
    output.mixer().detach(bell);
}

TEST(OutputBackend, AServerThatGoesIsReportedGoneAndTheOutputReopensWhenItIsBack)
{
    FakeServer server;
    AudioOutput output(through(server));
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.isOpen(); }, 10000));
    server.goAway();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return output.problem() == QStringLiteral("the sound server is gone (Fake)"); },
        10000));
    EXPECT_FALSE(output.isOpen());
    EXPECT_EQ(output.reopenCount(), 0);

    server.up = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.isOpen(); }, 10000));
    EXPECT_EQ(output.reopenCount(), 1);
    EXPECT_EQ(server.opens.load(), 2);
    EXPECT_EQ(output.problem(), QString());
}

TEST(OutputBackend, AServerThatAnswersButRefusesTheStreamForNowIsAskedAgainNotGoneAround)
{
    FakeServer server;
    server.up = false;
    server.answers = true;
    FakeServer fallback;
    fallback.name = QStringLiteral("Fallback");
    AudioOutput output(through(server, &fallback));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return output.problem() == QStringLiteral("Connection refused"); }, 10000));
    server.up = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.isOpen(); }, 10000));
    EXPECT_EQ(output.name(), QStringLiteral("Fake"));
    EXPECT_EQ(fallback.opens.load(), 0);

    // Where no server answers, the next is tried.
    FakeServer silent;
    silent.up = false;
    AudioOutput around(through(silent, &fallback));
    ASSERT_TRUE(QTest::qWaitFor([&] { return around.isOpen(); }, 10000));
    EXPECT_EQ(around.name(), QStringLiteral("Fallback"));
}

TEST(OutputBackend, TheVariableForcesOneBackendAndWithoutItTheServersComeFirst)
{
    const QByteArray before = qgetenv("TARNWICK_SOUND_BACKEND");
    const auto names = [](const char* forced) {
        qputenv("TARNWICK_SOUND_BACKEND", forced);
        QStringList order;
        for (const std::unique_ptr<SoundBackend>& backend : soundBackendsToTry())
            order << backend->name();
        return order;
    };
    EXPECT_EQ(names("sdl"), QStringList{QStringLiteral("SDL")});
    EXPECT_EQ(names("pulseaudio"), QStringList{QStringLiteral("PulseAudio")});
    const QStringList desktop{QStringLiteral("PipeWire"), QStringLiteral("PulseAudio"),
        QStringLiteral("ALSA"), QStringLiteral("SDL")};
    EXPECT_EQ(names(""), desktop);
    EXPECT_EQ(names("jack"), desktop) << "a name it does not know";
    qputenv("TARNWICK_SOUND_BACKEND", before);
}
