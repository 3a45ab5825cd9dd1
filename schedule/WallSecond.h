#pragma once

#include <QDateTime>
#include <QTimeZone>
#include <QtGlobal>

// One second of the wall clock, numbered as real time passes: whole seconds
// since the epoch (UTC). What the clocks of the zone read in it is asked of
// the zone, so the count runs on evenly through the nights summer time begins
// and ends; only a change of the system clock makes it jump, which is how the
// scheduler sees one.
using WallSecond = qint64;

inline WallSecond wallSecondOf(const QDateTime& reading)
{
    const qint64 ms = reading.toMSecsSinceEpoch();
    return ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
}

// The zone whose clocks a reading of the clock follows. A zone Qt cannot
// name (TZ given as a file's path, which the C library reads) is taken at
// the reading's own offset, so the clock still starts every slot, only
// without foreseeing a change of summer time.
inline QTimeZone zoneOf(const QDateTime& reading)
{
    const QTimeZone zone = reading.timeZone();
    return zone.isValid() ? zone : QTimeZone(reading.offsetFromUtc());
}

// What the clocks of `zone` read at the beginning of `second`.
inline QDateTime localTimeOf(WallSecond second, const QTimeZone& zone)
{
    return QDateTime::fromSecsSinceEpoch(second, zone);
}

// How long after the beginning of `second` the reading `now` was taken, in
// real milliseconds.
inline qint64 msAfterStartOf(WallSecond second, const QDateTime& now)
{
    return now.toMSecsSinceEpoch() - second * 1000;
}

// An inclusive run of seconds; empty when first > last.
struct SecondRange {
    WallSecond first = 0;
    WallSecond last = -1;

    bool empty() const { return first > last; }
    bool contains(WallSecond second) const { return first <= second && second <= last; }
    friend bool operator==(const SecondRange&, const SecondRange&) = default;
};
