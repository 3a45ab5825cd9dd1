#include "player/StartSwitch.h"
#include "OpenNow.h"
#include "PlayerRig.h"
#include "TestSounds.h"
#include "player/Voice.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

TestSounds& sounds()
{
    static TestSounds s;
    return s;
}

const QString& tone(int hz)
{
    static const QString low = sounds().tone(QStringLiteral("low.mp3"), 5, 440);
    static const QString high = sounds().tone(QStringLiteral("high.mp3"), 5, 880);
    return hz == 440 ? low : high;
}

// A whole second far enough ahead for the test to set up what sounds before
// it, even on a loaded machine.
QDateTime comingSecond()
{
    const QDateTime soon = QDateTime::currentDateTime().addMSecs(2000);
    return soon.addMSecs(-soon.time().msec());
}

qint64 nsOf(const QDateTime& t)
{
    return t.toMSecsSinceEpoch() * 1'000'000;
}

void waitUntilPast(const QDateTime& t, int ms)
{
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QDateTime::currentDateTime() > t.addMSecs(ms); }, 10000));
}

constexpr qint64 FrameBytes = 2 * sizeof(float);
constexpr qint64 NsPerFrame = 1'000'000'000 / 44100 + 1;

} // namespace

TEST(StartSwitch, APlacedStartSoundsFromTheFrameOfItsSecondAndSilencesTheOthersThere)
{
    PlayerRig rig;
    auto bell = rig.makePlayer();
    openNow(*bell, tone(880));
    const QDateTime second = comingSecond();
    bell->armStartAt(second);
    // A start by hand meanwhile sounds at once, as without a switch.
    auto byHand = rig.makePlayer();
    openNow(*byHand, tone(440));
    byHand->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return byHand->currentPosition() > 0; }, 10000));
    EXPECT_FALSE(bell->isPlaying());

    // Longer than the second decoded ahead: the decoder keeps up with a voice
    // the mixer started.
    ASSERT_TRUE(QTest::qWaitFor([&] { return bell->currentPosition() >= 1.5; }, 10000));
    EXPECT_FALSE(byHand->isPlaying());
    const auto fired = rig.output->mixer().lastFiredSwitch();
    ASSERT_TRUE(fired.has_value());
    EXPECT_GE(fired->heardNs, nsOf(second));
    EXPECT_LT(fired->heardNs, nsOf(second) + NsPerFrame);
    const std::optional<FirstSample> offset = bell->firstSampleOf(second);
    ASSERT_TRUE(offset.has_value());
    EXPECT_NEAR(offset->msAfter, 0, 0.03);
    EXPECT_TRUE(offset->placedAhead);
    bell.reset();
    byHand.reset();
    rig.closeOutput();

    // Up to the switch's frame only the tone by hand is heard, from it on
    // only the bell, with no frame between. The device writes whole buffers
    // of silence before its first callback, so the recording may run a whole
    // number of buffers ahead of the mixer's count.
    const auto cleanCutAt = [&](qint64 frame) {
        const qint64 at = frame * FrameBytes;
        const qint64 window = 2 * DeviceBufferBytes;
        const Recording before = rig.recording(at - window, at);
        const Recording after = rig.recording(at, at + window);
        return before.amplitudeAt(440) > 0.4 && before.amplitudeAt(880) < 0.01 &&
            after.amplitudeAt(880) > 0.4 && after.amplitudeAt(440) < 0.01 &&
            before.left.back() != 0.0f && after.left.front() != 0.0f;
    };
    bool found = false;
    for (int lead = 0; lead < 16 && !found; ++lead)
        found = cleanCutAt(qint64(fired->frame) + lead * OutputFormat::DeviceBufferFrames);
    EXPECT_TRUE(found);
}

TEST(StartSwitch, OfSwitchesPlacedForOneSecondOnlyTheLastSoundsAndAWithdrawnOrLateOneNever)
{
    PlayerRig rig;
    std::vector<std::unique_ptr<Mp3Player>> players;
    for (int i = 0; i < 5; ++i) {
        players.push_back(rig.makePlayer());
        openNow(*players.back(), tone(i == 4 ? 880 : 440));
    }
    const QDateTime second = comingSecond();
    players[0]->armStartAt(second);
    players[0]->disarmStart();
    players[1]->armStartAt(second);
    openNow(*players[1], tone(440));
    players[3]->armStartAt(second);
    players[3].reset();
    players[2]->armStartAt(second.addSecs(-3));
    waitUntilPast(second, 500);
    for (int i : {0, 1, 2})
        EXPECT_FALSE(players[std::size_t(i)]->isPlaying());
    EXPECT_FALSE(rig.output->mixer().lastFiredSwitch().has_value());
    EXPECT_TRUE(rig.recording().silent());

    const QDateTime next = comingSecond();
    players[0]->armStartAt(next);
    players[4]->armStartAt(next);
    ASSERT_TRUE(QTest::qWaitFor([&] { return players[4]->currentPosition() >= 0.5; }, 10000));
    EXPECT_FALSE(players[0]->isPlaying());
    players.clear();
    rig.closeOutput();
    const Recording heard = rig.recording().sounding();
    EXPECT_GT(heard.amplitudeAt(880), 0.4);
    EXPECT_LT(heard.amplitudeAt(440), 0.01);
}

TEST(StartSwitch, FiresOnceAtTheFirstFrameHeardAtItsTimeAndDropsOneMoreThanTheToleranceLate)
{
    constexpr std::int64_t Ms = 1'000'000;
    constexpr std::int64_t T0 = 1000 * Ms; // when the buffer's first frame is heard
    Voice voice(16);
    StartSwitch ahead;
    ahead.arm(voice, T0 + 1 * Ms);
    EXPECT_TRUE(voice.armed.load());
    EXPECT_FALSE(ahead.take(T0 - 24 * Ms, 1024, 1024)) << "a buffer early";
    const auto cut = ahead.take(T0, 1024, 1024);
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->voice, &voice);
    EXPECT_EQ(cut->frame, 45u) << "44.1 frames after the first: never early";
    EXPECT_FALSE(voice.armed.load());
    EXPECT_FALSE(ahead.take(T0, 1024, 1024)) << "once";

    ahead.arm(voice, T0 - 10 * Ms);
    const auto late = ahead.take(T0, 1024, 1024);
    ASSERT_TRUE(late.has_value());
    EXPECT_EQ(late->frame, 0u);
    ahead.arm(voice, T0 - 30 * Ms);
    EXPECT_FALSE(ahead.take(T0, 1024, 1024));
    EXPECT_FALSE(voice.armed.load());
}

TEST(StartSwitch, TheOutputRunsBeforeTheFirstStartSoThatStartIsPlacedOnItsSample)
{
    PlayerRig rig;
    // Nothing has been played or placed yet.
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.recordedBytes() > 0; }, 10000));
    auto bell = rig.makePlayer();
    openNow(*bell, tone(880));
    const QDateTime second = comingSecond();
    bell->armStartAt(second);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bell->isPlaying(); }, 10000));
    const auto fired = rig.output->mixer().lastFiredSwitch();
    ASSERT_TRUE(fired.has_value());
    EXPECT_GE(fired->heardNs, nsOf(second));
    EXPECT_LT(fired->heardNs, nsOf(second) + NsPerFrame);
    bell.reset();
    rig.closeOutput();
}
