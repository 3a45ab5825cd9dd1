#pragma once

#include "FormHarness.h"

#include <QLabel>
#include <QStringList>

// Steps shared by the scheduler's tests: give a slot a file and a start time,
// and run a tick of the scheduling clock at a given reading of the clock.

// The slot takes the file /sounds/<name>.mp3, which it shows as `name`,
// through "&Select", and the start time through "&KelTime", as the operator
// gives them (a locked window stays locked).
// A start time is entered on a slot with a file, so a slot whose file has
// no name took its time with a file before it.
inline void giveSlot(FormHarness& h, int slot, const QString& name, std::optional<QTime> startTime)
{
    const QString path = QStringLiteral("/sounds/") + name + QStringLiteral(".mp3");
    if (startTime && name.isEmpty())
        h.giveFile(slot, QStringLiteral("/sounds/earlier.mp3"));
    else
        h.giveFile(slot, path);
    if (startTime)
        h.enterStartTime(slot, *startTime);
    if (h.timetable().slot(slot).path != path)
        h.giveFile(slot, path);
}

// The operator starts the slot by hand with "&RunNow" (a locked window stays
// locked).
inline void runByHand(FormHarness& h, int slot)
{
    h.whileUnlocked([&] { FormHarness::click(h.slot(slot).runButton); });
}

// The scheduling clock's timer fires at the clock's reading `when`.
inline void tickAt(FormHarness& h, const QDateTime& when)
{
    h.clock.set(when);
    FormHarness::tick(h.c().schedulerTimer);
}

inline void tickAt(FormHarness& h, QTime when)
{
    tickAt(h, QDateTime(h.clock.now().date(), when));
}

// The player calls of one scheduled start of `slot`.
inline QStringList startCalls(int slot)
{
    QStringList calls{QStringLiteral("play %1").arg(slot)};
    for (int j = 0; j < SlotCount; ++j)
        if (j != slot)
            calls << QStringLiteral("pause %1").arg(j);
    return calls;
}

inline int count(const QStringList& journal, const QString& call)
{
    return int(journal.count(call));
}
