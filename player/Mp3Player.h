#pragma once

#include "platform/GuiInbox.h"
#include "platform/MediaPlayer.h"
#include "platform/WorkerThread.h"
#include "player/LengthScanner.h"
#include "player/Mp3File.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class AudioOutput;
class Mixer;
class Mp3Decoder;
struct Voice;

// How a player reaches a chosen file: the opening, which runs on a thread of
// its own, and how long open() waits for its answer before giving up on the
// file.
struct FileAccess {
    std::function<Mp3File(const QString&)> open = openMp3File;
    std::chrono::milliseconds patience = std::chrono::seconds(5);
};

// The production player of one slot: MP3 files decoded by libmpg123 and
// played through the shared AudioOutput.
//
// Threads: every member is called on the GUI thread and returns at once.
// open() hands the file to the player's opener thread and answers when it
// comes back, through the event loop; a file that does not answer within the
// patience (a hung drive or network share) is refused, and its late answer
// is closed unseen, on the opener thread, since even closing a file on a
// hung share can wait. The file is decoded on the player's own decoder thread (Mp3Decoder),
// mixed on the output's audio thread (Mixer), and its exact length found on
// the LengthScanner's thread; none of them ever calls back into the player.
// Ownership: the player owns its voice and decoder; the output and the
// scanner are shared by all players and must outlive them.
//
// The position is what the mixer has handed to the device, so the progress
// shown is what is heard. At the end of the file the player stops by itself
// with the position at the end, and the next play() starts from the
// beginning.
class Mp3Player final : public QObject, public MediaPlayer {
    Q_OBJECT
public:
    Mp3Player(AudioOutput& output, LengthScanner& lengths, FileAccess access = {},
        QObject* parent = nullptr);
    ~Mp3Player() override;

    void open(const QString& path, OpenAnswer answer) override;
    void play() override;
    void playOnSchedule(const QDateTime& second) override;
    void pause() override;
    double currentPosition() const override;
    double duration() const override;
    void armStartAt(const QDateTime& second) override;
    void disarmStart() override;
    std::optional<FirstSample> firstSampleOf(const QDateTime& second) const override;
    QStringList takeProblems() override;
    bool durationIsEstimate() const override;

    bool isPlaying() const;
    // On the mixer's timeline (wall-clock ns): when the first sample of the
    // latest start is heard, and when the last frame mixed so far ends.
    std::int64_t firstSampleNs() const;
    std::int64_t heardUntilNs() const;
    // Frames decoded and waiting to be mixed.
    std::size_t framesDecodedAhead() const;

private:
    struct PendingOpen;
    void answerOpen(const std::shared_ptr<PendingOpen>& pending, std::shared_ptr<Mp3File> file,
        const QString& refusal);
    void dispose(std::shared_ptr<Mp3File> file);
    void take(const QString& path, Mp3File file);

    AudioOutput& output_;
    Mixer& mixer_;
    LengthScanner& lengths_;
    FileAccess access_;
    std::unique_ptr<Voice> voice_;
    std::unique_ptr<Mp3Decoder> decoder_;
    QString path_;
    FileIdentity identity_;
    double estimatedSeconds_ = 0;
    bool lengthFromHeader_ = false;
    mutable std::optional<double> exactSeconds_;
    bool ranDryReported_ = false;
    GuiInbox answers_;
    // Last, so its thread is stopped first, before anything a job names.
    WorkerThread opener_;
};
