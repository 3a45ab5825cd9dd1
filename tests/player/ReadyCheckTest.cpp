#include "PlayerRig.h"
#include "TestSounds.h"
#include "player/AudioOutput.h"
#include "player/Mp3FileCheck.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

#include <cstdlib>

TEST(Mp3FileCheck, FindsTheChosenFileFitUntilItIsChangedDamagedOrGone)
{
    TestSounds sounds;
    const QString path = sounds.tone(QStringLiteral("bell.mp3"), 1);
    const Mp3FileCheck check;
    const FileCheckResult chosen = check.check(path, std::nullopt);
    EXPECT_EQ(chosen.problem, QString());
    ASSERT_TRUE(chosen.stamp);
    EXPECT_EQ(check.check(path, chosen.stamp).problem, QString());

    sounds.write(QStringLiteral("bell.mp3"), QByteArray(4096, 'x'));
    EXPECT_EQ(
        check.check(path, chosen.stamp).problem, QStringLiteral("was changed after it was chosen"));
    EXPECT_EQ(check.check(path, std::nullopt).problem,
        QStringLiteral("no longer decodes from its start"));

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(check.check(path, chosen.stamp).problem, QStringLiteral("is no longer there"));
    ASSERT_TRUE(QDir(sounds.dir()).mkdir(QStringLiteral("bell.mp3")));
    EXPECT_EQ(
        check.check(path, chosen.stamp).problem, QStringLiteral("is no longer a regular file"));
}

TEST(AudioOutputCheck, SaysWhyTheOutputCannotBeOpenedUntilItOpens)
{
    std::atomic<bool> serverUp{false};
    AudioOutput output(sdlOpenedBy([&](const SDL_AudioSpec& wanted) -> SDL_AudioDeviceID {
        if (!serverUp.load()) {
            SDL_SetError("Connection refused");
            return 0;
        }
        return SdlBackend::openDefaultDevice(wanted);
    }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !output.problem().isEmpty(); }, 10000));
    EXPECT_EQ(output.problem(), QStringLiteral("Connection refused"));
    // It keeps trying, and the next try finds the server there again.
    serverUp.store(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return output.isOpen(); }, 10000));
    EXPECT_EQ(output.problem(), QString());
}
