#include "model/Timetable.h"

#include "model/BaseName.h"

std::vector<int> Timetable::dueAt(QTime second) const
{
    std::vector<int> due;
    for (int i = 0; i < SlotCount; ++i)
        if (isDue(slot(i), i, second))
            due.push_back(i);
    return due;
}

void Timetable::setStartTime(int slot, std::optional<QTime> time)
{
    at(slot).startTime = time;
    at(slot).shownTime = time;
    emit changed();
}

OpenTicket Timetable::askOpen(int slot)
{
    SlotState& s = at(slot);
    s.awaitedOpen = ++s.opensAsked;
    return {*s.awaitedOpen, s.starts};
}

AnswerVerdict Timetable::answerOpen(int slot, const OpenTicket& asked, bool refused)
{
    const AnswerVerdict verdict = judgeAnswer(asked, this->slot(slot), ended_, refused);
    if (verdict != AnswerVerdict::Stale)
        at(slot).awaitedOpen.reset();
    return verdict;
}

void Timetable::takeFile(int slot, const QString& path)
{
    SlotState& s = at(slot);
    s.path = path;
    s.name = baseName(path);
    ++s.choices;
    s.nextClick = RunClick::Start;
    emit changed();
}

void Timetable::runClicked(int slot, RunClick done, QTime clickedAt)
{
    SlotState& clicked = at(slot);
    if (done == RunClick::Start) {
        ++clicked.starts;
        for (SlotState& s : slots_)
            s.nextClick = RunClick::Start;
        clicked.nextClick = RunClick::Hold;
    } else {
        clicked.nextClick = RunClick::Start;
    }
    clicked.shownTime = clickedAt;
    makeSounding(slot);
    emit changed();
}

void Timetable::startedOnSchedule(int slot, QDate date)
{
    ++at(slot).starts;
    at(slot).lastClockStart = ClockStart{date, at(slot).startTime.value_or(QTime())};
    at(slot).nextClick = RunClick::Start;
    makeSounding(slot);
    emit changed();
}

void Timetable::stopped(int slot)
{
    SlotState& s = at(slot);
    if (slot == 0 && hasFile(s, slot))
        s.mark = FileMark::Stopped;
    s.nextClick = RunClick::Start;
    emit changed();
}

void Timetable::lock()
{
    locked_ = true;
    emit changed();
}

void Timetable::unlock()
{
    locked_ = false;
    emit changed();
}

void Timetable::end()
{
    ended_ = true;
    emit changed();
}

void Timetable::makeSounding(int slot)
{
    sounding_ = slot;
    for (int i = 0; i < SlotCount; ++i)
        at(i).mark = i == slot ? FileMark::Sounding : FileMark::Quiet;
}
