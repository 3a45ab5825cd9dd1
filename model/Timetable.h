#pragma once

#include "model/SlotRules.h"
#include "model/SlotState.h"

#include <QObject>

#include <array>
#include <optional>
#include <vector>

// The program's state: the ten slots, the slot that sounds, whether the
// window is locked and whether the program has ended. Its operations are the
// program's own verbs; each changes the state by the rules in SlotRules, and
// each that changes what the window shows then emits `changed`, which the
// window's view shows (asking for an open and judging its answer change only
// the bookkeeping of the pending open, and emit nothing). It calls no player:
// the areas of the program call the players and tell the timetable what they
// did, in the order the players are called. GUI thread only.
class Timetable : public QObject {
    Q_OBJECT

public:
    const SlotState& slot(int i) const { return slots_.at(std::size_t(i)); }
    const std::array<SlotState, SlotCount>& all() const { return slots_; }
    // The slot last started or touched; empty until one was.
    std::optional<int> sounding() const { return sounding_; }
    bool locked() const { return locked_; }
    bool ended() const { return ended_; }

    // The slots due in `second`, ascending: the clock starts them in this
    // order, so the last one is left sounding.
    std::vector<int> dueAt(QTime second) const;

    // An entered start time, or none to take it away.
    void setStartTime(int slot, std::optional<QTime> time);
    // An open() is asked for the slot: earlier ones' answers become stale.
    OpenTicket askOpen(int slot);
    // Judges the answer to `asked`; any but a stale one ends the wait.
    AnswerVerdict answerOpen(int slot, const OpenTicket& asked, bool refused);
    // The slot takes the file at `path` (empty: none), idle at its start.
    void takeFile(int slot, const QString& path);
    // A click on the run button did `done` at `clickedAt`: the slot becomes
    // the one that sounds, and its start-time label shows the click.
    void runClicked(int slot, RunClick done, QTime clickedAt);
    // The clock started the slot at its start time on the local date `date`.
    void startedOnSchedule(int slot, QDate date);
    // "&Stop" on the slot: held at its start. Slot 0's name is marked black.
    void stopped(int slot);
    void lock();
    void unlock();
    void end();

signals:
    void changed();

private:
    SlotState& at(int i) { return slots_.at(std::size_t(i)); }
    void makeSounding(int slot);

    std::array<SlotState, SlotCount> slots_{};
    std::optional<int> sounding_;
    bool locked_ = false;
    bool ended_ = false;
};
