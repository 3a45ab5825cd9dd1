#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>
#include <vector>

// A change of the zone's offset from UTC between two readings of the clock
// that real time passed between, as when summer time begins or ends. It is
// neither the program held up nor the clock set: the seconds run on evenly
// while the clocks' reading jumps, so it is said as what it is.
struct ZoneChange {
    // What the clocks read just before the change and just after it, e.g.
    // 2:00 and 3:00.
    QTime from;
    QTime to;
    bool summerTimeBegan = false;
    bool summerTimeEnded = false;

    bool forward() const;
    // Whether the clocks went forward over `timeOfDay`, which then does not
    // occur that date.
    bool skips(QTime timeOfDay) const;
};

// The change between the readings `last` and `now`, if their offsets differ.
std::optional<ZoneChange> zoneChangeBetween(const QDateTime& last, const QDateTime& now);

// The log line, e.g. "Clock: summer time began, 02:00 became 03:00; 2:30:00
// does not occur tonight" or "Clock: summer time ended, 03:00 became 02:00;
// the hour from 02:00 is not rung again"; `skipped` are the start times it
// skips, in order.
QString zoneChangeText(const ZoneChange& change, const std::vector<QTime>& skipped);
