#include "OpenNow.h"
#include "PlayerRig.h"
#include "TestSounds.h"
#include "player/LengthScanner.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

TestSounds& sounds()
{
    static TestSounds s;
    return s;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// The tone with the frame count of its Xing/Info header replaced.
QByteArray withXingFrames(QByteArray mp3, quint32 frames)
{
    qsizetype tag = mp3.indexOf("Xing");
    if (tag < 0)
        tag = mp3.indexOf("Info");
    EXPECT_GE(tag, 0);
    for (int i = 0; i < 4; ++i)
        mp3[tag + 8 + i] = char(frames >> (24 - 8 * i));
    return mp3;
}

struct LengthCase {
    const char* name;
    QByteArray (*make)();
    double seconds;
};

void PrintTo(const LengthCase& c, std::ostream* out)
{
    *out << c.name;
}

class PlayedLength : public ::testing::TestWithParam<LengthCase> { };

} // namespace

TEST_P(PlayedLength, IsTheTotalShownAndNeverAnAbsurdFigureBefore)
{
    const LengthCase& c = GetParam();
    const QString file = sounds().write(QString::fromLatin1(c.name) + ".mp3", c.make());
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    // Before the scan ends: at most what the file's size allows at 32 kbit/s.
    EXPECT_LE(player->duration(), double(QFile(file).size()) * 8 / 32000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->durationIsEstimate(); }, 5000));
    EXPECT_NEAR(player->duration(), c.seconds, 0.15);
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->isPlaying(); }, 10000));
    EXPECT_NEAR(player->currentPosition(), player->duration(), 0.1);
}

INSTANTIATE_TEST_SUITE_P(Files, PlayedLength,
    ::testing::Values(LengthCase{"damaged_in_the_middle",
                          [] {
                              const QByteArray tone = bytesOf(sounds().tone(
                                  "plain4.mp3", 4, 440, 44100, 2, {"-b", "128", "-t"}));
                              return tone.left(tone.size() / 2) + QByteArray(20000, 'x') +
                                  tone.mid(tone.size() / 2);
                          },
                          4.0},
        LengthCase{"mixed_rates",
            [] {
                return bytesOf(sounds().tone("cd.mp3", 3, 440, 44100, 2, {"-b", "128", "-t"})) +
                    bytesOf(sounds().tone("half.mp3", 3, 440, 22050, 2, {"-b", "64", "-t"}));
            },
            6.0},
        LengthCase{"xing_claims_one_frame",
            [] { return withXingFrames(bytesOf(sounds().tone("xing1.mp3", 3)), 1); }, 3.0},
        LengthCase{"xing_claims_four_billion_frames",
            [] { return withXingFrames(bytesOf(sounds().tone("xing2.mp3", 3)), 0xffffffff); },
            3.0}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

struct Change {
    const char* name;
    QByteArray (*replace)(const QByteArray& chosen);
};

void PrintTo(const Change& c, std::ostream* out)
{
    *out << c.name;
}

class ChangedAfterChoosing : public ::testing::TestWithParam<Change> { };

} // namespace

TEST_P(ChangedAfterChoosing, IsReportedNamingTheFileAndItsSoundEnds)
{
    const QString file = sounds().tone(QString::fromLatin1(GetParam().name) + ".mp3", 4);
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    QFile inPlace(file);
    ASSERT_TRUE(inPlace.open(QIODevice::ReadWrite));
    const QByteArray replacement = GetParam().replace(inPlace.readAll());
    ASSERT_TRUE(inPlace.resize(0));
    inPlace.write(replacement);
    // The file system's clock is coarse: a rewrite right after the file was
    // made may keep its modification time, which a later one never does.
    ASSERT_TRUE(inPlace.setFileTime(inPlace.fileTime(QFileDevice::FileModificationTime).addSecs(1),
        QFileDevice::FileModificationTime));
    inPlace.close();

    player->play();
    QStringList problems;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            problems += player->takeProblems();
            return !problems.isEmpty();
        },
        10000));
    EXPECT_TRUE(problems.front().startsWith(file)) << problems.front().toStdString();
    EXPECT_TRUE(problems.front().contains("changed on disk")) << problems.front().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->isPlaying(); }, 10000));
    EXPECT_LT(player->currentPosition(), 2);
}

INSTANTIATE_TEST_SUITE_P(Files, ChangedAfterChoosing,
    ::testing::Values(Change{"overwritten_with_noise",
                          [](const QByteArray& chosen) { return randomBytes(chosen.size(), 12); }},
        Change{"truncated", [](const QByteArray&) { return QByteArray(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LengthScan, StopsBetweenFramesWhenAskedSoAHugeFileNeverHoldsTheEnd)
{
    // About 40 minutes of sound, which takes a full scan well over a moment.
    const QByteArray tone =
        bytesOf(sounds().tone("minute.mp3", 60, 440, 44100, 2, {"-b", "128", "-t"}));
    QFile huge(sounds().path("huge.mp3"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    for (int i = 0; i < 40; ++i)
        huge.write(tone);
    huge.close();

    std::optional<double> seconds = 0.0;
    std::stop_source stop;
    std::thread scan(
        [&] { seconds = scanLength(QFile::encodeName(huge.fileName()), stop.get_token()); });
    stop.request_stop();
    scan.join();
    EXPECT_FALSE(seconds) << "the scan went on to the end: " << *seconds;
}
