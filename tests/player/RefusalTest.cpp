#include "OpenNow.h"
#include "PlayerRig.h"
#include "TestSounds.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TestSounds& sounds()
{
    static TestSounds s;
    return s;
}

struct BadInput {
    const char* name;
    // Makes the file (or not) and returns its path.
    QString (*make)();
    const char* reason;
};

void PrintTo(const BadInput& input, std::ostream* os)
{
    *os << input.name;
}

QString wavNamedMp3()
{
    const QString wav = sounds().path(QStringLiteral("real.wav"));
    runTool(QStringLiteral("sox"),
        {"-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "2", "sine", "440", "vol",
            "0.5"});
    const QString named = sounds().path(QStringLiteral("wav named.mp3"));
    QFile::remove(named);
    QFile::copy(wav, named);
    return named;
}

QByteArray pngBytes()
{
    // A tiny but well-formed PNG: signature, IHDR, empty IDAT, IEND.
    return QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                               "1f15c4890000000d49444154789c6360000002000154a24f5d0000000049"
                               "454e44ae426082");
}

class Mp3Refusal : public ::testing::TestWithParam<BadInput> { };

} // namespace

TEST_P(Mp3Refusal, IsRefusedNamingTheFileAndWhyAndThePlayerKeepsItsFile)
{
    const BadInput& bad = GetParam();
    const QString good = sounds().tone(QStringLiteral("good.mp3"), 4);
    const QString path = bad.make();
    PlayerRig rig;
    auto player = rig.makePlayer();
    openNow(*player, good);
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() > 0.3; }, 5000));
    player->pause();
    const double position = player->currentPosition();
    const double duration = player->duration();

    try {
        openNow(*player, path);
        FAIL() << "accepted " << path.toStdString();
    } catch (const PlatformError& error) {
        EXPECT_TRUE(error.reason().startsWith(QDir::toNativeSeparators(path)))
            << error.reason().toStdString();
        EXPECT_TRUE(error.reason().contains(QString::fromLatin1(bad.reason)))
            << error.reason().toStdString();
    }
    EXPECT_EQ(player->currentPosition(), position);
    EXPECT_EQ(player->duration(), duration);
    EXPECT_FALSE(player->isPlaying());
    // The previous file goes on from where it was.
    player->play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->currentPosition() > position + 0.3; }, 5000));
}

INSTANTIATE_TEST_SUITE_P(Files, Mp3Refusal,
    ::testing::Values(
        BadInput{"missing", [] { return sounds().path(QStringLiteral("nowhere.mp3")); },
            "does not exist"},
        BadInput{"folder",
            [] {
                QDir(sounds().dir()).mkdir(QStringLiteral("folder.mp3"));
                return sounds().path(QStringLiteral("folder.mp3"));
            },
            "folder"},
        BadInput{"empty", [] { return sounds().write(QStringLiteral("empty.mp3"), {}); }, "empty"},
        BadInput{"text",
            [] {
                return sounds().write(
                    QStringLiteral("notes.mp3"), "ring the bell at noon\nand at six\n");
            },
            "not an MP3 file"},
        BadInput{"wav", &wavNamedMp3, "not an MP3 file"},
        BadInput{"png", [] { return sounds().write(QStringLiteral("picture.mp3"), pngBytes()); },
            "not an MP3 file"},
        BadInput{"fifo",
            [] {
                const QString fifo = sounds().path(QStringLiteral("pipe.mp3"));
                ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
                return fifo;
            },
            "a pipe (FIFO), not a sound file"},
        BadInput{"device",
            [] {
                const QString link = sounds().path(QStringLiteral("zero.mp3"));
                QFile::link(QStringLiteral("/dev/zero"), link);
                return link;
            },
            "a device, not a sound file"},
        BadInput{"random",
            [] { return sounds().write(QStringLiteral("noise.mp3"), randomBytes(100 * 1024)); },
            "not an MP3 file"}),
    [](const auto& info) { return std::string(info.param.name); });

void expectRefusedAsUnreadable(const QString& path)
{
    PlayerRig rig;
    auto player = rig.makePlayer();
    try {
        openNow(*player, path);
        FAIL() << "accepted an unreadable file";
    } catch (const PlatformError& error) {
        EXPECT_TRUE(error.reason().contains(QStringLiteral("cannot be read")))
            << error.reason().toStdString();
        EXPECT_TRUE(error.reason().startsWith(path)) << error.reason().toStdString();
    }
    EXPECT_EQ(player->duration(), 0);
}

// Root reads any file, so under root the check runs in this same test
// program started again as the unprivileged user "nobody".
TEST(Mp3RefusalUnreadable, AFileThePlayerMayNotReadIsRefused)
{
    const QByteArray handedOver = qgetenv("TARN_UNREADABLE_MP3");
    if (!handedOver.isEmpty()) {
        const QString file = QFile::decodeName(handedOver);
        expectRefusedAsUnreadable(file);
        expectRefusedAsUnreadable(QFileInfo(file).dir().filePath(QStringLiteral("link.mp3")));
        return;
    }
    const QString file = sounds().tone(QStringLiteral("locked.mp3"), 1);
    // A link into a folder the player may not enter is unreadable too, not
    // missing.
    QDir(sounds().dir()).mkdir(QStringLiteral("closed"));
    const QString hidden = sounds().tone(QStringLiteral("closed/bell.mp3"), 1);
    QFile::link(hidden, sounds().path(QStringLiteral("link.mp3")));
    ASSERT_TRUE(QFile(sounds().path(QStringLiteral("closed")))
                    .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const auto everyoneMayEnter = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
        QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile(sounds().dir()).setPermissions(everyoneMayEnter));
    ASSERT_TRUE(QFile(file).setPermissions(QFile::WriteOwner));
    if (geteuid() != 0) {
        expectRefusedAsUnreadable(file);
        expectRefusedAsUnreadable(sounds().path(QStringLiteral("link.mp3")));
        return;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TARN_UNREADABLE_MP3"), file);
    env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral("setpriv"),
        {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
            QCoreApplication::applicationFilePath(),
            "--gtest_filter=Mp3RefusalUnreadable.AFileThePlayerMayNotReadIsRefused"});
    if (!child.waitForStarted(10000))
        GTEST_SKIP() << "setpriv is not available to run the check as another user";
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
