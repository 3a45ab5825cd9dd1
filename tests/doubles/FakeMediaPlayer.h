#pragma once

#include "platform/MediaPlayer.h"

#include <QStringList>

#include <optional>
#include <utility>

// A player that behaves as the real one does towards its callers (open leaves
// it idle at the start, play resumes, pause holds) without sound. Calls of all
// players of one test go into one shared journal, e.g. "play 3", "pause 4",
// so a test can check their order. A test can make the next calls fail, and
// hold the answers to open() until it releases them, as a slow drive would.
class FakeMediaPlayer final : public MediaPlayer {
public:
    FakeMediaPlayer(int slot, QStringList& journal) : slot_(slot), journal_(journal) { }

    void open(const QString& path, OpenAnswer answer) override;
    void play() override;
    void pause() override;
    double currentPosition() const override { return position_; }
    double duration() const override { return duration_; }
    // Placed starts are kept, not journaled, so the journal holds what the
    // window did at the tick as before.
    void armStartAt(const QDateTime& second) override;
    void disarmStart() override { armedFor_.reset(); }
    // A playing fake is heard on its second unless the test says otherwise,
    // by the start placed ahead when one was placed for that second.
    std::optional<FirstSample> firstSampleOf(const QDateTime& second) const override;
    QStringList takeProblems() override { return std::exchange(problems_, {}); }
    bool durationIsEstimate() const override { return estimate_; }

    // Test controls.
    void failPlayWith(const QString& reason) { playFailure_ = reason; }
    void failOpenWith(const QString& reason) { openFailure_ = reason; }
    void setPosition(double seconds) { position_ = seconds; }
    void setDuration(double seconds) { duration_ = seconds; }
    void setFirstSampleMs(std::optional<double> ms) { heardAtMs_ = ms; }
    const std::optional<QDateTime>& armedFor() const { return armedFor_; }
    void reportProblem(const QString& problem) { problems_ << problem; }
    void setDurationIsEstimate(bool estimate) { estimate_ = estimate; }
    void holdOpens() { holdOpens_ = true; }
    // Answers the oldest open() held; false when none is waiting.
    bool answerHeldOpen();

    bool isPlaying() const { return playing_; }
    const QString& file() const { return file_; }

private:
    int slot_;
    QStringList& journal_;
    QString file_;
    bool playing_ = false;
    double position_ = 0;
    double duration_ = 0;
    std::optional<QString> playFailure_;
    std::optional<QString> openFailure_;
    std::optional<QDateTime> armedFor_;
    std::optional<std::optional<double>> heardAtMs_;
    QStringList problems_;
    bool estimate_ = false;
    bool holdOpens_ = false;
    QList<std::pair<QString, OpenAnswer>> heldOpens_;
    void answer(const QString& path, const OpenAnswer& answer);
};
