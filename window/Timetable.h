#pragma once

#include <array>
#include <cstddef>
#include <optional>

inline constexpr int SlotCount = 10;

// The part of the program's state that no widget shows, and that a late
// answer is judged against: whether the window is locked or the program has
// ended, and per slot which open() is still awaited and how many starts the
// slot has had. GUI thread only.
struct SlotRecord {
    // open()s asked for this slot; an answer to any but the latest is stale.
    int opensAsked = 0;
    std::optional<int> awaitedOpen;
    // Starts by the clock or the run button. An open asked before a start
    // must not silence it when its answer comes after.
    int starts = 0;
    // Choices applied: a new one, even of the same path, makes the file as it
    // is now the chosen one.
    int choices = 0;
};

struct Timetable {
    std::array<SlotRecord, SlotCount> records{};
    bool locked = false;
    bool ended = false;

    SlotRecord& slot(int i) { return records.at(std::size_t(i)); }
    const SlotRecord& slot(int i) const { return records.at(std::size_t(i)); }

    // Asks a new open for the slot: earlier ones' answers become stale.
    int askOpen(int i)
    {
        SlotRecord& r = slot(i);
        r.awaitedOpen = ++r.opensAsked;
        return *r.awaitedOpen;
    }
    // An answer to open `asked`, asked when the slot had had `startsThen`
    // starts, may change the slot only if it is the one awaited, the program
    // runs on and no start came since.
    enum class Verdict { Apply, Stale, StartedMeanwhile };
    Verdict judgeAnswer(int i, int asked, int startsThen)
    {
        SlotRecord& r = slot(i);
        if (ended || r.awaitedOpen != asked)
            return Verdict::Stale;
        r.awaitedOpen.reset();
        return r.starts == startsThen ? Verdict::Apply : Verdict::StartedMeanwhile;
    }
};
