#include "model/SlotRules.h"

bool hasFile(const SlotState& s, int slot)
{
    return slot == 0 ? !s.path.isEmpty() : !s.name.isEmpty();
}

bool isDue(const SlotState& s, int slot, QTime second)
{
    if (!s.startTime || !s.startTime->isValid() || !hasFile(s, slot))
        return false;
    return s.startTime->msecsSinceStartOfDay() / 1000 == second.msecsSinceStartOfDay() / 1000;
}

bool startedByClockOn(const SlotState& s, QDate date)
{
    return s.lastClockStart && s.lastClockStart->date == date &&
        s.lastClockStart->startTime == s.startTime;
}

std::vector<int> slotsPausedByStartOf(int slot)
{
    std::vector<int> paused;
    for (int other = 0; other < SlotCount; ++other)
        if (other != slot)
            paused.push_back(other);
    return paused;
}

AnswerVerdict judgeAnswer(const OpenTicket& asked, const SlotState& now, bool ended, bool refused)
{
    if (ended || now.awaitedOpen != asked.open)
        return AnswerVerdict::Stale;
    if (refused)
        return AnswerVerdict::Refused;
    return now.starts == asked.startsThen ? AnswerVerdict::Taken : AnswerVerdict::StartedMeanwhile;
}

ControlsEnabled controlsEnabled(const std::array<SlotState, SlotCount>& rows, bool locked)
{
    ControlsEnabled enabled;
    enabled.unlock = locked;
    if (locked)
        return enabled;
    enabled.lock = true;
    enabled.quit = true;
    for (int i = 0; i < SlotCount; ++i) {
        const bool usable = hasFile(rows[std::size_t(i)], i);
        enabled.rows[std::size_t(i)] = {true, usable, usable, usable};
    }
    return enabled;
}
