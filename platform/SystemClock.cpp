#include "platform/SystemClock.h"

#include <time.h>

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const
{
    // The boot-time clock, unlike CLOCK_MONOTONIC, counts a suspend too,
    // which the wall clock also passes through.
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
