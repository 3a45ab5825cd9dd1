#pragma once

#include "platform/FileDialog.h"
#include "platform/InputBox.h"
#include "platform/MediaPlayer.h"
#include "platform/MessageBox.h"
#include "platform/ProgramExit.h"
#include "player/Mp3Player.h"

#include <QDateTime>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

// What the benchmarks that drive the real window put in place of a person:
// boxes answered at once, a file dialog that hands over the path the bench
// chose, and the real player noting when the clock's play() started it.

// Every box is answered with OK at once and written to standard error, so
// that no box holds up a run; the end is left to the bench.
struct QuietBoxes final : MessageBox, InputBox, ProgramExit {
    explicit QuietBoxes(const char* bench) : bench_(bench) { }
    MessageAnswer show(const QString& text, const QString&, MessageIcon, MessageButtons) override
    {
        std::fprintf(stderr, "%s: box: %s\n", bench_, qPrintable(text));
        shown << text;
        return MessageAnswer::Ok;
    }
    std::optional<QString> ask(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    void exitNow() override { }
    QStringList shown;

private:
    const char* bench_;
};

// Hands the chooser the path the bench has set.
struct ChosenPath final : FileDialog {
    std::optional<QString> askOpen(const QString&) override { return next; }
    QString next;
};

// The real player, noting when a play() it was given started it.
class TimedPlayer final : public MediaPlayer {
public:
    TimedPlayer(std::unique_ptr<Mp3Player> player, std::vector<QDateTime>& plays)
        : player_(std::move(player)), plays_(plays)
    {
    }
    void open(const QString& path, OpenAnswer answer) override
    {
        player_->open(path, std::move(answer));
    }
    void play() override
    {
        const QDateTime at = QDateTime::currentDateTime();
        player_->play();
        plays_.push_back(at);
    }
    void playOnSchedule(const QDateTime& second) override
    {
        const QDateTime at = QDateTime::currentDateTime();
        player_->playOnSchedule(second);
        plays_.push_back(at);
    }
    void pause() override { player_->pause(); }
    double currentPosition() const override { return player_->currentPosition(); }
    double duration() const override { return player_->duration(); }
    void armStartAt(const QDateTime& second) override { player_->armStartAt(second); }
    void disarmStart() override { player_->disarmStart(); }
    QStringList takeProblems() override { return player_->takeProblems(); }
    bool durationIsEstimate() const override { return player_->durationIsEstimate(); }
    std::optional<FirstSample> firstSampleOf(const QDateTime& second) const override
    {
        return player_->firstSampleOf(second);
    }

private:
    std::unique_ptr<Mp3Player> player_;
    std::vector<QDateTime>& plays_;
};
