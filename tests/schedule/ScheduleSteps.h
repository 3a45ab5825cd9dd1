#pragma once

#include "FormHarness.h"

#include <QLabel>
#include <QStringList>

// Steps shared by the scheduler's tests: give a slot a file and a start time,
// and run a tick of the scheduling clock at a given reading of the clock.

// The slot takes the file /sounds/<name>.mp3, which it shows as `name`,
// through its "&Select" handler (the window may be locked), and the start time
// as entered.
inline void giveSlot(FormHarness& h, int slot, const QString& name, std::optional<QTime> startTime)
{
    h.dialog(slot).chooseNext(QStringLiteral("/sounds/") + name + QStringLiteral(".mp3"));
    h.form().onChooseFileClicked(slot);
    h.timetable().setStartTime(slot, startTime);
}

inline void tickAt(FormHarness& h, const QDateTime& when)
{
    h.clock.set(when);
    h.form().onScheduleTick();
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
