#include "FormHarness.h"
#include "PlayerRig.h"
#include "TestSounds.h"
#include "player/Mp3Player.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens the way a file on a hung network share does: the open itself blocks
// (here on a FIFO, until a writer comes).
Mp3File hangingOpen(const QString& path)
{
    QFile blocking(path);
    blocking.open(QIODevice::ReadOnly);
    return openMp3File(path);
}

} // namespace

TEST(FileTroubleInWindow, AFifoIsRefusedAtOnceAndAHangingFileWithinItsPatienceWhileTheClockRuns)
{
    TestSounds sounds;
    const QString fifo = sounds.path("pipe.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    PlayerRig rig;
    QStringList journal;
    FormHarness h(FormHarness::Start::Loaded, [&](int slot) -> std::unique_ptr<MediaPlayer> {
        if (slot == 0)
            return rig.makePlayer();
        if (slot == 2)
            return std::make_unique<Mp3Player>(
                *rig.output, rig.lengths, FileAccess{hangingOpen, std::chrono::seconds(1)});
        return std::make_unique<FakeMediaPlayer>(slot, journal);
    });
    h.unlock();
    h.giveFile(1, "/sounds/bell.mp3");

    h.dialog(0).chooseNext(fifo);
    h.messageBox.answerNext(MessageAnswer::Ok);
    FormHarness::click(h.slot(0).chooseFileButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.messageBox.shown().size() == 1; }));
    EXPECT_TRUE(h.messageBox.shown().back().text.contains("a pipe (FIFO), not a sound file"))
        << h.messageBox.shown().back().text.toStdString();
    EXPECT_TRUE(h.slot(0).fileNameLabel->text().isEmpty());

    // The second row is due in the next second, whose tick comes well before
    // the patience runs out, and not before the click.
    h.clock.advanceMs(1000);
    h.enterStartTime(1, h.clock.now().time());
    journal.clear();
    h.c().schedulerTimer->start(200);
    h.dialog(2).chooseNext(fifo);
    h.messageBox.answerNext(MessageAnswer::Ok);
    FormHarness::click(h.slot(2).chooseFileButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.messageBox.shown().size() == 2; }));
    EXPECT_TRUE(journal.contains("play 1")) << "the scheduled start waited for the file";
    EXPECT_TRUE(h.messageBox.shown().back().text.contains("did not answer within 1 s"))
        << h.messageBox.shown().back().text.toStdString();
    EXPECT_TRUE(h.slot(2).fileNameLabel->text().isEmpty());
    EXPECT_TRUE(h.timetable().slot(2).path.isEmpty());

    // A writer lets the hanging open go on, to its own refusal.
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    EXPECT_GE(writer, 0);
    ::close(writer);
}

TEST(FileTroubleInWindow, AStartedFileOverwrittenSinceItWasChosenIsReportedOnTheStatusLine)
{
    TestSounds sounds;
    const QString file = sounds.tone("bell.mp3", 4);
    PlayerRig rig;
    FormHarness h(FormHarness::Start::Loaded, [&](int) { return rig.makePlayer(); });
    h.unlock();
    h.giveFile(3, file);

    QFile inPlace(file);
    ASSERT_TRUE(inPlace.open(QIODevice::ReadWrite));
    inPlace.write(randomBytes(inPlace.size()));
    // The file system's clock is coarse: a rewrite right after the file was
    // made may keep its modification time, which a later one never does.
    ASSERT_TRUE(inPlace.setFileTime(inPlace.fileTime(QFileDevice::FileModificationTime).addSecs(1),
        QFileDevice::FileModificationTime));
    inPlace.close();
    FormHarness::click(h.slot(3).runButton);

    const QString expected = QStringLiteral("Slot 4: ") + file + ": the file was changed on disk";
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.c().statusLine->text().contains(expected); }, 10000))
        << h.c().statusLine->text().toStdString();
}
