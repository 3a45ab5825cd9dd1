#pragma once

#include "app/MainWindow.h"
#include "model/SlotState.h"
#include "platform/FileDialog.h"
#include "platform/InputBox.h"
#include "platform/MediaPlayer.h"
#include "platform/MessageBox.h"
#include "platform/ProgramExit.h"
#include "player/Mp3Player.h"
#include "window/WindowControls.h"

#include <QDateTime>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What the benchmarks that drive the real window put in place of a person:
// boxes answered at once, a file dialog that hands over the path the bench
// chose, and the real player noting when the clock's play() started it.

// The window is drawn offscreen unless the environment names a platform:
// the benches run without a display, and one asked for is the caller's.
inline void drawOffscreenUnlessTold()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

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

// Every slot's file dialog, each a ChosenPath, as the window asks for them.
class ChosenPaths {
public:
    // For PlatformServices::makeFileDialog.
    std::function<std::unique_ptr<FileDialog>(int slot)> maker()
    {
        return [this](int slot) {
            auto dialog = std::make_unique<ChosenPath>();
            dialogs_[std::size_t(slot)] = dialog.get();
            return dialog;
        };
    }
    // What the dialog of `slot` hands over when next asked.
    void setNext(int slot, const QString& path) { dialogs_[std::size_t(slot)]->next = path; }
    // Chooses `path` for `slot` as its "&Select" button does, so that
    // everything that listens to it (the checks ahead of a start among them)
    // learns of the choice; the button is not clicked as a person would, so
    // a locked window takes it too.
    void choose(WindowControls& c, int slot, const QString& path)
    {
        setNext(slot, path);
        emit c.slot(slot).chooseFileButton->clicked();
    }

private:
    std::array<ChosenPath*, SlotCount> dialogs_{};
};

// Whether every slot's file has opened (the slot shows its name) within
// `ms`, the event loop run meanwhile.
inline bool allFilesOpen(MainWindow& window, int ms)
{
    return QTest::qWaitFor(
        [&] {
            return std::all_of(window.timetable().all().begin(), window.timetable().all().end(),
                [](const SlotState& s) { return !s.name.isEmpty(); });
        },
        ms);
}

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
