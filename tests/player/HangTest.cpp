#include "OpenNow.h"
#include "PlayerRig.h"
#include "TestSounds.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3Player.h"

#include <QTest>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unistd.h>

// A share or a sound server that stops answering holds up the thread that
// waits on it, never a call of the GUI thread.
namespace {

// Shut, it holds every caller until opened; a watchdog opens it if the test
// itself is held up, so a fault fails the test instead of hanging it.
class Gate {
public:
    void shut() { set(false); }
    void open() { set(true); }
    void pass()
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
        --waiting_;
    }
    bool someoneWaits()
    {
        const std::scoped_lock lock(mutex_);
        return waiting_ > 0;
    }
    // Opens the gate if `done` has not been said within a minute; whether it had to.
    bool openedByWatchdog(const std::function<void()>& work)
    {
        bool fired = false;
        bool done = false;
        std::thread watchdog([&] {
            std::unique_lock lock(mutex_);
            if (!changed_.wait_for(lock, std::chrono::seconds(60), [&] { return done; })) {
                fired = true;
                open_ = true;
                changed_.notify_all();
            }
        });
        work();
        {
            const std::scoped_lock lock(mutex_);
            done = true;
        }
        changed_.notify_all();
        watchdog.join();
        return fired;
    }

private:
    void set(bool open)
    {
        const std::scoped_lock lock(mutex_);
        open_ = open;
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int waiting_ = 0;
};

Gate share;

ssize_t readThroughShare(int fd, void* buffer, size_t bytes)
{
    share.pass();
    return ::read(fd, buffer, bytes);
}

// Opens as openMp3File does, then reads through the gate from the first
// frame on, as a file on a share does.
Mp3File openOnShare(const QString& path)
{
    share.pass();
    Mp3File file = openMp3File(path);
    mpg123_handle* h = file.handle.get();
    mpg123_close(h);
    mpg123_replace_reader(h, readThroughShare, ::lseek);
    ::lseek(file.fd.get(), 0, SEEK_SET);
    openStream(h, file.fd.get(), file.rate, file.channels);
    return file;
}

} // namespace

TEST(NothingWaits, EveryPlayerCallReturnsWhileItsFileHangs)
{
    TestSounds sounds;
    const QString bell = sounds.tone(QStringLiteral("bell.mp3"), 5);
    qputenv("SDL_AUDIODRIVER", "dummy");
    LengthScanner lengths;
    AudioOutput output;
    Mp3Player player(output, lengths, FileAccess{openOnShare, std::chrono::milliseconds(200)});
    openNow(player, bell);
    share.shut();
    player.play();
    ASSERT_TRUE(QTest::qWaitFor([] { return share.someoneWaits(); }, 10000));

    std::optional<QString> answer;
    const bool heldUp = share.openedByWatchdog([&] {
        // Run, Stop (a pause and the file again), a placed start, the
        // progress and the problems, as the window asks them.
        player.pause();
        player.play();
        player.armStartAt(QDateTime::currentDateTime().addSecs(1));
        player.disarmStart();
        player.pause();
        player.open(bell, [&](const QString& refusal) {
            answer = refusal;
            return refusal.isEmpty();
        });
        player.currentPosition();
        player.duration();
        player.takeProblems();
    });
    EXPECT_FALSE(heldUp) << "a call waited on the hung read";
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000));
    EXPECT_TRUE(answer->contains(QStringLiteral("did not answer within 0.2 s")))
        << answer->toStdString();
    share.open();
}

TEST(NothingWaits, APlayerCallReturnsWhileTheSoundServerHangs)
{
    TestSounds sounds;
    const QString bell = sounds.tone(QStringLiteral("bell.mp3"), 2);
    qputenv("SDL_AUDIODRIVER", "dummy");
    Gate server;
    server.shut();
    LengthScanner lengths;
    AudioOutput output(sdlOpenedBy([&](const SDL_AudioSpec& wanted) {
        server.pass();
        return SdlBackend::openDefaultDevice(wanted);
    }));
    Mp3Player player(output, lengths);
    openNow(player, bell);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.someoneWaits(); }, 10000));

    const bool heldUp = server.openedByWatchdog([&] {
        player.play();
        player.armStartAt(QDateTime::currentDateTime().addSecs(1));
        output.problem();
    });
    EXPECT_FALSE(heldUp) << "a call waited on the sound server";
    EXPECT_FALSE(output.isOpen());
    // Once the server answers, the start made meanwhile is heard.
    server.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.currentPosition() > 0.1; }, 10000));
}
