#include "OpenNow.h"
#include "PlayerRig.h"
#include "TestSounds.h"
#include "platform/PlatformError.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

namespace {

TestSounds& sounds()
{
    static TestSounds s;
    return s;
}

const QString& tone440()
{
    static const QString path = sounds().tone(QStringLiteral("tone440.mp3"), 5);
    return path;
}

constexpr double Rate = 44100;
// sox writes the tone at half of full scale.
constexpr double ToneAmplitude = 0.5;

} // namespace

TEST(Mp3Playback, PlaysTheToneFallsSilentOnPauseResumesWhereItWasAndReopensAtTheStart)
{
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, tone440());
    EXPECT_EQ(player->currentPosition(), 0);
    EXPECT_FALSE(player->isPlaying());

    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() >= 1.0; }, 10000));
    player->pause();
    const double heldAt = player->currentPosition();
    const qint64 pausedFrom = rig.recordedBytes();
    // Let the device write a while with the player paused.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return rig.recordedBytes() > pausedFrom + 24 * DeviceBufferBytes; }, 10000));
    EXPECT_EQ(player->currentPosition(), heldAt);

    const qint64 resumedAt = rig.recordedBytes();
    player->play();
    EXPECT_GE(player->currentPosition(), heldAt);
    EXPECT_LT(player->currentPosition(), heldAt + 0.1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() >= heldAt + 1.0; }, 10000));
    player->pause();
    const double playedSeconds = player->currentPosition();

    openNow(*player, tone440());
    EXPECT_EQ(player->currentPosition(), 0);
    EXPECT_FALSE(player->isPlaying());
    player.reset();
    rig.closeOutput();

    // Everything played was heard, once, as one unbroken 440 Hz tone.
    const Recording heard = rig.recording().sounding();
    EXPECT_NEAR(double(heard.left.size()) / Rate, playedSeconds, 0.01);
    EXPECT_NEAR(heard.dominantHz(), 440, 1);
    EXPECT_NEAR(heard.amplitudeAt(440), ToneAmplitude, 0.05);
    EXPECT_NEAR(heard.rms(), ToneAmplitude / std::sqrt(2.0), 0.03);
    // While paused the output was silent (allowing for buffers in flight).
    EXPECT_TRUE(rig.recording(pausedFrom + 4 * DeviceBufferBytes, resumedAt).silent());
}

namespace {

// Plays `player` to its natural end and returns what was recorded.
Recording playToTheEnd(PlayerRig& rig, std::unique_ptr<Mp3Player> player)
{
    player->play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !player->isPlaying(); }, 20000));
    player.reset();
    rig.closeOutput();
    return rig.recording().sounding();
}

class Mp3Rate : public ::testing::TestWithParam<int> { };

} // namespace

TEST_P(Mp3Rate, IsPlayedAtTheRightSpeedAndPitch)
{
    const int rate = GetParam();
    const QString file = sounds().tone(QStringLiteral("rate%1.mp3").arg(rate), 2, 440, rate, 1,
        {"-V", "2", "--resample", QString::number(rate / 1000.0)});
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    const Recording heard = playToTheEnd(rig, std::move(player));
    EXPECT_NEAR(heard.dominantHz(), 440, 2);
    EXPECT_NEAR(double(heard.left.size()) / Rate, 2, 0.25);
}

INSTANTIATE_TEST_SUITE_P(Rates, Mp3Rate, ::testing::Values(8000, 11025, 22050, 32000, 48000),
    [](const auto& info) { return "hz_" + std::to_string(info.param); });

TEST(Mp3Playback, StopsByItselfAtTheEndAndTheNextPlayStartsFromTheBeginning)
{
    const QString file = sounds().tone(QStringLiteral("short.mp3"), 1);
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->isPlaying(); }, 10000));
    EXPECT_NEAR(player->currentPosition(), player->duration(), 0.05);
    EXPECT_NEAR(player->currentPosition(), 1, 0.1);

    player->play();
    EXPECT_LT(player->currentPosition(), 0.1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() > 0.2; }, 10000));
}

TEST(Mp3Playback, PlayOnAPlayingPlayerPlaysOnAndPauseOnAnIdleOneChangesNothing)
{
    PlayerRig rig;
    auto player = rig.makePlayer();
    player->pause();
    EXPECT_EQ(player->currentPosition(), 0);
    EXPECT_EQ(player->duration(), 0);
    openNow(*player, tone440());
    player->pause();
    EXPECT_EQ(player->currentPosition(), 0);
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() > 0.3; }, 10000));
    const double before = player->currentPosition();
    player->play();
    EXPECT_GE(player->currentPosition(), before);
    EXPECT_TRUE(player->isPlaying());
}

TEST(Mp3Playback, PlayWithoutAFileIsRefused)
{
    PlayerRig rig;
    auto player = rig.makePlayer();
    EXPECT_THROW(player->play(), PlatformError);
}

TEST(Mp3Playback, TwoPlayersPlayingAtOnceAreMixed)
{
    const QString high = sounds().tone(QStringLiteral("tone660.mp3"), 2, 660);
    PlayerRig rig;
    auto a = rig.makePlayer();
    auto b = rig.makePlayer();
    openNow(*a, tone440());
    openNow(*b, high);
    a->play();
    b->play();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return a->currentPosition() > 1 && b->currentPosition() > 1; }, 10000));
    a.reset();
    b.reset();
    rig.closeOutput();
    const Recording heard = rig.recording().sounding();
    EXPECT_NEAR(heard.amplitudeAt(440), ToneAmplitude, 0.1);
    EXPECT_NEAR(heard.amplitudeAt(660), ToneAmplitude, 0.1);
    EXPECT_LT(heard.amplitudeAt(550), 0.05);
}

TEST(Mp3Playback, ATruncatedFilePlaysWhatIsThereAndEnds)
{
    const QString whole = sounds().tone(QStringLiteral("whole.mp3"), 4);
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const QString cut = sounds().write(QStringLiteral("cut.mp3"), bytes.left(bytes.size() / 2));
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, cut);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(player->duration() - 2) < 0.15; }, 5000));
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->isPlaying(); }, 20000));
    EXPECT_NEAR(player->currentPosition(), 2, 0.15);
}

TEST(Mp3Playback, AFileDamagedInTheMiddleNeverStopsAnotherPlayer)
{
    const QString whole = sounds().tone(QStringLiteral("to_damage.mp3"), 6);
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray bytes = in.readAll();
    // A stretch of junk from a third of the file to its half.
    for (qsizetype i = bytes.size() / 3; i < bytes.size() / 2; ++i)
        bytes[i] = char((i * 7919) % 251);
    const QString damaged = sounds().write(QStringLiteral("damaged.mp3"), bytes);
    PlayerRig rig;
    auto player = rig.makePlayer();
    auto other = rig.makePlayer();
    openNow(*player, damaged);
    openNow(*other, sounds().tone(QStringLiteral("long.mp3"), 15));
    player->play();
    other->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->isPlaying(); }, 20000));
    // It played up to the damage at least; whether it got past it depends on
    // the junk, but the file ends by itself.
    EXPECT_GT(player->currentPosition(), 1.8);
    EXPECT_LT(player->currentPosition(), 6.1);
    EXPECT_TRUE(other->isPlaying());
    const double at = other->currentPosition();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->currentPosition() > at + 0.5; }, 10000));
}

TEST(Mp3Output, WithoutASoundDevicePlayIsRefusedUntilTheOutputOpensAgain)
{
    // The environment is changed only on the device thread, which reads it.
    std::atomic<bool> serverUp{false};
    LengthScanner lengths;
    AudioOutput output(sdlOpenedBy([&](const SDL_AudioSpec& wanted) -> SDL_AudioDeviceID {
        if (!serverUp.load()) {
            SDL_SetError("Connection refused");
            return 0;
        }
        return SdlBackend::openDefaultDevice(wanted);
    }));
    Mp3Player player(output, lengths);
    openNow(player, tone440());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !output.problem().isEmpty(); }, 10000));
    EXPECT_NEAR(player.duration(), 5, 0.1);
    try {
        player.play();
        FAIL() << "played without a device";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.reason(), QStringLiteral("no sound output: Connection refused"));
    }
    EXPECT_FALSE(player.isPlaying());

    // It keeps trying, and plays once the server is there again.
    serverUp.store(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.isOpen(); }, 10000));
    EXPECT_EQ(output.problem(), QString());
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.currentPosition() > 0.1; }, 10000));
}

TEST(Mp3Output, ADeviceLostWhilePlayingIsReopenedAndPlaybackGoesOn)
{
    PlayerRig rig;
    rig.closeOutput();
    // The disk driver gives up its device when a write fails; the second
    // device records as the rig's does. The environment is changed only on
    // the device thread, which reads it.
    int opens = 0;
    const QByteArray after = QFile::encodeName(rig.recordingPath());
    rig.output.emplace(sdlOpenedBy([&](const SDL_AudioSpec& wanted) {
        qputenv("SDL_DISKAUDIOFILE", opens++ == 0 ? QByteArray("/dev/full") : after);
        return SdlBackend::openDefaultDevice(wanted);
    }));
    auto player = rig.makePlayer();
    openNow(*player, tone440());
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.output->reopenCount() >= 1; }, 10000));
    const double at = player->currentPosition();
    EXPECT_TRUE(player->isPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() > at + 0.5; }, 10000));
}
