#include "AudioOutput.h"
#include "Eventually.h"
#include "OutputFormat.h"
#include "SoundBackends.h"
#include "SoundTime.h"
#include "Voice.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

// The output driven through its backend seam by a backend the test plays
// the server of: it hands over buffers with the render times it chooses,
// loses its server and gets it back when told.
namespace {

constexpr std::int64_t Ms = 1'000'000;
constexpr std::int64_t NsPerFrame = 1'000'000'000 / OutputFormat::SampleRate + 1;

struct FakeServer {
    QString name = QStringLiteral("Fake");
    std::atomic<bool> up{true};
    // While not up: whether it answers, refusing only the stream.
    std::atomic<bool> answers{false};
    std::atomic<SoundBackend::Health> health{SoundBackend::Health::Playing};
    std::atomic<int> opens{0};
    std::mutex mutex;
    SoundBackend::Render render; // while open
    std::function<void()> wake;

    // One buffer as the server asks for it: `frames` frames whose first is
    // rendered at `firstFrameNs`.
    std::vector<float> pull(std::size_t frames, std::int64_t firstFrameNs)
    {
        std::vector<float> out(frames * OutputFormat::Channels);
        const std::scoped_lock lock(mutex);
        render(out.data(), frames, firstFrameNs);
        return out;
    }
    void goAway()
    {
        up = false;
        health = SoundBackend::Health::ServerGone;
        const std::scoped_lock lock(mutex);
        wake();
    }
};

class FakeBackend final : public SoundBackend {
public:
    explicit FakeBackend(FakeServer& server) : server_(server) { }
    QString name() const override { return server_.name; }
    bool reportsRenderTime() const override { return true; }
    std::int64_t jitterNs() const override { return Ms; }
    std::optional<OpenFailure> open(Render render, std::function<void()> wake) override
    {
        if (!server_.up)
            return OpenFailure{OpenFailure::Step::Connect, QStringLiteral("Connection refused")};
        const std::scoped_lock lock(server_.mutex);
        server_.render = std::move(render);
        server_.wake = std::move(wake);
        server_.health = Health::Playing;
        ++server_.opens;
        return std::nullopt;
    }
    bool serverAnswered() const override { return server_.answers; }
    Health health() override { return server_.health; }
    void close() override { }

private:
    FakeServer& server_;
};

AudioOutput::BackendChoice through(FakeServer& server, FakeServer* fallback = nullptr)
{
    return [&server, fallback] {
        std::vector<std::unique_ptr<SoundBackend>> order;
        order.push_back(std::make_unique<FakeBackend>(server));
        if (fallback != nullptr)
            order.push_back(std::make_unique<FakeBackend>(*fallback));
        return order;
    };
}

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
    ASSERT_TRUE(eventually([&] { return output.isOpen(); }));
    EXPECT_EQ(output.name(), QStringLiteral("Fake"));
    Voice bell{std::size_t(OutputFormat::SampleRate)};
    fill(bell);
    output.attach(bell);

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
    output.armStart(bell, second);
    while (at + 4096 * NsPerFrame <= second)
        pull(4096);
    EXPECT_FALSE(bell.running.load());
    pull(4096);
    ASSERT_TRUE(bell.running.load());
    const auto fired = output.lastFiredSwitch();
    ASSERT_TRUE(fired.has_value());
    EXPECT_GE(fired->heardNs, second);
    EXPECT_LT(fired->heardNs, second + NsPerFrame);
    EXPECT_EQ(bell.firstSampleNs.load(), fired->heardNs) << "the log's first sample";

    // Known when its buffer is already on its way: sounded at once, late.
    bell.running = false;
    const std::int64_t known = SoundTime::wallClockNs();
    output.armStart(bell, known + 10 * Ms);
    server.pull(1024, known + 93 * Ms);
    EXPECT_TRUE(bell.running.load());
    EXPECT_EQ(bell.firstSampleNs.load(), known + 93 * Ms);
    // Its second passed a buffer and more before it was asked for: the tick's.
    bell.running = false;
    output.armStart(bell, known - 100 * Ms);
    server.pull(1024, known + 93 * Ms);
    EXPECT_FALSE(bell.running.load());
    output.detach(bell);
}

TEST(OutputBackend, AServerThatGoesIsReportedGoneAndTheOutputReopensWhenItIsBack)
{
    FakeServer server;
    AudioOutput output(through(server));
    ASSERT_TRUE(eventually([&] { return output.isOpen(); }));
    server.goAway();
    ASSERT_TRUE(eventually(
        [&] { return output.problem() == QStringLiteral("the sound server is gone (Fake)"); }));
    EXPECT_FALSE(output.isOpen());
    EXPECT_EQ(output.reopenCount(), 0);

    server.up = true;
    ASSERT_TRUE(eventually([&] { return output.isOpen(); }));
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
    ASSERT_TRUE(
        eventually([&] { return output.problem() == QStringLiteral("Connection refused"); }));
    server.up = true;
    ASSERT_TRUE(eventually([&] { return output.isOpen(); }));
    EXPECT_EQ(output.name(), QStringLiteral("Fake"));
    EXPECT_EQ(fallback.opens.load(), 0);

    // Where no server answers, the next is tried.
    FakeServer silent;
    silent.up = false;
    AudioOutput around(through(silent, &fallback));
    ASSERT_TRUE(eventually([&] { return around.isOpen(); }));
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
