#include "FormHarness.h"
#include "PlayerRig.h"
#include "TestSounds.h"
#include "playback/ProgressText.h"
#include "player/Mp3Player.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double Rate = 44100;
// A few device buffers may already be on their way when a click lands.
constexpr qint64 InFlight = 4 * DeviceBufferBytes;

// The window with real MP3 players whose mix SDL's disk driver records.
class RunStopWithSound : public ::testing::Test {
protected:
    SlotControls& slot(int i) { return harness->slot(i); }
    Mp3Player& player(int i) { return static_cast<Mp3Player&>(harness->anyPlayer(i)); }
    void tickProgress(int i) { FormHarness::tick(harness->c().progressTimer(i)); }
    // As after unlocking the window and choosing the file.
    void giveFile(int i, const QString& path)
    {
        if (harness->timetable().locked())
            harness->unlock();
        harness->giveFile(i, path);
    }
    bool recordsAnother(qint64 bytes)
    {
        const qint64 from = rig.recordedBytes();
        return QTest::qWaitFor([&] { return rig.recordedBytes() >= from + bytes; }, 10000);
    }
    // The recording is complete once the players and the device are gone.
    void endRecording()
    {
        harness.reset();
        rig.closeOutput();
    }

    TestSounds sounds;
    // Set before the rig's output opens its device: the driver writes as
    // fast as it can, and a decoder that falls behind only leaves exact
    // silence, which the checks below skip over.
    struct WriteAtOnce {
        WriteAtOnce() { qputenv("SDL_DISKAUDIODELAY", "0"); }
    } writeAtOnce;
    PlayerRig rig;
    std::unique_ptr<FormHarness> harness = std::make_unique<FormHarness>(
        FormHarness::Start::Loaded, [this](int) { return rig.makePlayer(); });
};

bool isTone(const Recording& heard, double minSeconds)
{
    return double(heard.left.size()) / Rate >= minSeconds &&
        std::abs(heard.dominantHz() - 440) < 2 && heard.amplitudeAt(440) > 0.4;
}

// The phase, in radians, that a 440 Hz sine in `samples` has at index `at`,
// found from the `window` samples before `at` (or from `at` on).
double phaseOf440(const std::vector<float>& samples, std::size_t at, bool before)
{
    constexpr std::size_t window = 4410;
    const std::size_t from = before ? at - window : at;
    const double step = 2 * std::numbers::pi * 440 / Rate;
    double sinPart = 0;
    double cosPart = 0;
    for (std::size_t k = 0; k < window; ++k) {
        const double w = step * (double(from + k) - double(at));
        sinPart += samples[from + k] * std::sin(w);
        cosPart += samples[from + k] * std::cos(w);
    }
    return std::atan2(cosPart, sinPart);
}

double phaseGap(double a, double b)
{
    return std::abs(std::remainder(a - b, 2 * std::numbers::pi));
}

} // namespace

TEST_F(RunStopWithSound, RunPauseRunStopSoundsHoldsResumesAndSilences)
{
    const QString tone = sounds.tone(QStringLiteral("a440.mp3"), 20);
    giveFile(3, tone);
    QPushButton* run = slot(3).runButton;
    QPushButton* stop = slot(3).stopButton;

    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(run->text(), QStringLiteral("&Pause"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return player(3).currentPosition() >= 1.0; }, 10000));

    QTest::mouseClick(run, Qt::LeftButton); // pause
    const double heldAt = player(3).currentPosition();
    const qint64 pausedFrom = rig.recordedBytes();
    ASSERT_TRUE(recordsAnother(24 * DeviceBufferBytes));
    EXPECT_EQ(player(3).currentPosition(), heldAt);
    tickProgress(3);
    EXPECT_EQ(slot(3).elapsedLabel->text(), progressText(heldAt));
    EXPECT_NEAR(player(3).duration(), 20, 0.05);
    EXPECT_EQ(slot(3).totalLabel->text(), progressText(player(3).duration()));

    const qint64 resumedFrom = rig.recordedBytes();
    QTest::mouseClick(run, Qt::LeftButton); // run again
    EXPECT_GE(player(3).currentPosition(), heldAt);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return player(3).currentPosition() >= heldAt + 1.0; }, 10000));

    QTest::mouseClick(stop, Qt::LeftButton);
    const qint64 stoppedFrom = rig.recordedBytes();
    EXPECT_EQ(run->text(), QStringLiteral("&RunNow"));
    // Back at the start once the file has opened again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return player(3).currentPosition() == 0; }, 10000));
    ASSERT_TRUE(recordsAnother(24 * DeviceBufferBytes));
    tickProgress(3);
    EXPECT_EQ(slot(3).elapsedLabel->text(), QStringLiteral("00:00"));
    EXPECT_TRUE(harness->messageBox.shown().empty());
    endRecording();

    // The first run is heard in full up to the held position, and nothing
    // more until the second run, which carries on from there.
    const Recording firstRun = rig.recording(0, resumedFrom).sounding();
    EXPECT_NEAR(double(firstRun.left.size()) / Rate, heldAt, 0.01);
    EXPECT_TRUE(isTone(firstRun, 1.0));
    EXPECT_TRUE(rig.recording(pausedFrom + InFlight, resumedFrom).silent());
    EXPECT_TRUE(isTone(rig.recording(resumedFrom, stoppedFrom + InFlight).sounding(), 1.0));
    // Heard end to end, the two runs are one unbroken sine: the second
    // carries on from the very sample where the pause held the first.
    const Recording heard = rig.recording().sounding();
    const auto junction = firstRun.left.size();
    ASSERT_GT(heard.left.size(), junction + 4410);
    EXPECT_LT(
        phaseGap(phaseOf440(heard.left, junction, true), phaseOf440(heard.left, junction, false)),
        0.2);
    // A 440 Hz sine at half scale moves at most 0.5 * 2pi * 440 / 44100 = 0.031
    // from one sample to the next; a stale or a lost frame jumps further.
    EXPECT_LT(rig.recording().largestStep(), 0.05);
    EXPECT_TRUE(rig.recording(stoppedFrom + InFlight).silent());
    EXPECT_GT(rig.recordedBytes(), stoppedFrom + 2 * InFlight);
}

TEST_F(RunStopWithSound, RunNowOnAnotherSlotSilencesTheOneThatPlayed)
{
    giveFile(5, sounds.tone(QStringLiteral("a440.mp3"), 20));
    giveFile(2, sounds.tone(QStringLiteral("e660.mp3"), 20, 660));

    QTest::mouseClick(slot(5).runButton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player(5).currentPosition() >= 0.5; }, 10000));
    QTest::mouseClick(slot(2).runButton, Qt::LeftButton);
    const double slot5Played = player(5).currentPosition();
    EXPECT_FALSE(player(5).isPlaying());
    ASSERT_TRUE(QTest::qWaitFor([&] { return player(2).currentPosition() >= 1.0; }, 10000));
    EXPECT_EQ(player(5).currentPosition(), slot5Played);
    endRecording();

    // The start plays slot 2 before it pauses the others, so for the moment
    // between the two steps both may sound; from then on slot 2 sounds alone.
    const Recording heard = rig.recording().sounding();
    const auto tailFrames = std::size_t(0.5 * Rate);
    ASSERT_GT(heard.left.size(), tailFrames);
    Recording tail;
    tail.left.assign(heard.left.end() - long(tailFrames), heard.left.end());
    EXPECT_NEAR(tail.dominantHz(), 660, 2);
    EXPECT_LT(tail.amplitudeAt(440), 0.01);
    EXPECT_NEAR(tail.amplitudeAt(660), 0.5, 0.05);
}
