#pragma once

#include <QDateTime>
#include <QTime>
#include <QtGlobal>

// One second of local time as the clock on the wall reads it, numbered
// without gaps across days. It follows the reading, not the elapsed time: when
// the system clock or summer time is changed, the count jumps with it, which
// is how the scheduler sees a change of the clock.
using WallSecond = qint64;

inline constexpr qint64 SecondsPerDay = 86400;

inline WallSecond wallSecondOf(const QDateTime& local)
{
    return local.date().toJulianDay() * SecondsPerDay + local.time().msecsSinceStartOfDay() / 1000;
}

inline QTime timeOfDayOf(WallSecond second)
{
    const qint64 secondOfDay = ((second % SecondsPerDay) + SecondsPerDay) % SecondsPerDay;
    return QTime::fromMSecsSinceStartOfDay(int(secondOfDay * 1000));
}

// How long after the beginning of `second` the reading `local` was taken.
inline qint64 msAfterStartOf(WallSecond second, const QDateTime& local)
{
    return (wallSecondOf(local) - second) * 1000 + local.time().msec();
}

// An inclusive run of seconds; empty when first > last.
struct SecondRange {
    WallSecond first = 0;
    WallSecond last = -1;

    bool empty() const { return first > last; }
    bool contains(WallSecond second) const { return first <= second && second <= last; }
    friend bool operator==(const SecondRange&, const SecondRange&) = default;
};
