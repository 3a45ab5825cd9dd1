#include "OpenNow.h"
#include "PlayerRig.h"
#include "TestSounds.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TestSounds& sounds()
{
    static TestSounds s;
    return s;
}

struct LengthCase {
    const char* name;
    int rate;
    int channels;
    QStringList lameOptions;
    // A header tells the exact length, so it is right when open() returns.
    bool exactAtOnce;
    // libmpg123 does not trim the encoder's padding from MPEG-2.5 files, so
    // they decode a few frames longer than the sound that went in.
    double tolerance = 0.1;
};

void PrintTo(const LengthCase& c, std::ostream* out)
{
    *out << c.name;
}

class Mp3Duration : public ::testing::TestWithParam<LengthCase> { };

constexpr double TrueSeconds = 7.0;

} // namespace

TEST_P(Mp3Duration, IsTheFilesTrueLength)
{
    const LengthCase& c = GetParam();
    const QString file = sounds().tone(QString::fromLatin1(c.name) + QStringLiteral(".mp3"),
        TrueSeconds, 440, c.rate, c.channels, c.lameOptions);
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    if (c.exactAtOnce) {
        EXPECT_NEAR(player->duration(), TrueSeconds, c.tolerance);
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return std::abs(player->duration() - TrueSeconds) < c.tolerance; }, 5000));

    // Opened again unchanged (the stop button does so), it knows the length
    // at once.
    auto another = rig.makePlayer();
    openNow(*another, file);
    EXPECT_NEAR(another->duration(), TrueSeconds, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Files, Mp3Duration,
    ::testing::Values(LengthCase{"cbr", 44100, 2, {"-b", "128"}, true},
        LengthCase{"vbr_xing", 44100, 2, {"-V", "2"}, true},
        LengthCase{"vbr_no_xing", 44100, 2, {"-V", "2", "-t"}, false},
        LengthCase{"mono_22khz_mpeg2", 22050, 1, {"-V", "4"}, true},
        LengthCase{"mpeg25_8khz", 8000, 1, {"-b", "16"}, true, 0.25},
        LengthCase{"stereo_48khz", 48000, 2, {"-b", "192"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Mp3Files, ACoverPictureOfAMegabyteOpensAndPlays)
{
    const QString plain = sounds().tone(QStringLiteral("plain.mp3"), 3);
    QFile in(plain);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString file =
        sounds().write(QStringLiteral("cover.mp3"), withId3v2Picture(in.readAll(), 1 << 20));
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    EXPECT_NEAR(player->duration(), 3, 0.1);
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() > 0.5; }, 5000));
}

TEST(Mp3Files, NamesWithBlanksAndChineseCharactersAndAnUpperCaseExtensionOpen)
{
    const QString file = sounds().tone(QStringLiteral("上课 铃声 1.MP3"), 2);
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    EXPECT_NEAR(player->duration(), 2, 0.1);
}

TEST(Mp3Files, AChangedFileAtTheSamePathIsMeasuredAgain)
{
    const QString file = sounds().tone(QStringLiteral("changing.mp3"), 6, 440, 44100, 2, {"-t"});
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(player->duration() - 6) < 0.1; }, 5000));

    // Rewritten with a 3 s sound padded to the same byte count: only the
    // modification time tells the two apart.
    const QDateTime firstModified = QFileInfo(file).lastModified();
    QFile shorter(sounds().tone(QStringLiteral("shorter.mp3"), 3, 440, 44100, 2, {"-t"}));
    ASSERT_TRUE(shorter.open(QIODevice::ReadOnly));
    QByteArray bytes = shorter.readAll();
    bytes.append(QByteArray(QFileInfo(file).size() - bytes.size(), '\0'));
    sounds().write(QStringLiteral("changing.mp3"), bytes);
    QFile rewritten(file);
    ASSERT_TRUE(rewritten.open(QIODevice::ReadWrite));
    ASSERT_TRUE(rewritten.setFileTime(firstModified.addSecs(5), QFileDevice::FileModificationTime));
    rewritten.close();
    openNow(*player, file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(player->duration() - 3) < 0.1; }, 5000))
        << player->duration();
}

namespace {

// An APEv2 tag (header, one item, footer) and an ID3v1 tag, as taggers
// append them after the last frame.
QByteArray apeAndId3v1Tags()
{
    const QByteArray item =
        QByteArray::fromHex("0b00000000000000") + "Title" + '\0' + "School bell";
    const auto part = [&](const char* flags) {
        QByteArray p = "APETAGEX" + QByteArray::fromHex("d0070000");
        const quint32 size = quint32(item.size() + 32);
        p += QByteArray(reinterpret_cast<const char*>(&size), 4);
        return p + QByteArray::fromHex("01000000") + QByteArray::fromHex(flags) +
            QByteArray(8, '\0');
    };
    return part("000000a0") + item + part("00000080") + "TAG" + QByteArray(125, ' ');
}

} // namespace

TEST(Mp3Files, ApeAndId3v1TagsAtTheEndAreNoPartOfTheSound)
{
    QFile in(sounds().tone(QStringLiteral("untagged.mp3"), 2));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString file =
        sounds().write(QStringLiteral("tagged.mp3"), in.readAll() + apeAndId3v1Tags());
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, file);
    EXPECT_NEAR(player->duration(), 2, 0.1);
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player->isPlaying(); }, 10000));
    EXPECT_NEAR(player->currentPosition(), 2, 0.1);
}
