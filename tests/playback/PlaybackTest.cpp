#include "PlatformError.h"
#include "PlayerRig.h"
#include "TestSounds.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

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
    player->open(tone440());
    EXPECT_EQ(player->currentPosition(), 0);
    EXPECT_FALSE(player->isPlaying());

    player->play();
    QTRY_VERIFY_WITH_TIMEOUT(player->currentPosition() >= 1.0, 10000);
    player->pause();
    const double heldAt = player->currentPosition();
    const qint64 pausedFrom = rig.recordedBytes();
    // Let the device write a while with the player paused.
    QTRY_VERIFY_WITH_TIMEOUT(rig.recordedBytes() > pausedFrom + 24 * DeviceBufferBytes, 10000);
    EXPECT_EQ(player->currentPosition(), heldAt);

    const qint64 resumedAt = rig.recordedBytes();
    player->play();
    EXPECT_GE(player->currentPosition(), heldAt);
    EXPECT_LT(player->currentPosition(), heldAt + 0.1);
    QTRY_VERIFY_WITH_TIMEOUT(player->currentPosition() >= heldAt + 1.0, 10000);
    player->pause();
    const double playedSeconds = player->currentPosition();

    player->open(tone440());
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
