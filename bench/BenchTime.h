#pragma once

#include "player/SoundTime.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdint>

// The wall-clock moments the benches that set starts keep to.

// Runs the event loop until the wall clock reaches `ns`.
inline void runUntil(std::int64_t ns)
{
    while (SoundTime::wallClockNs() < ns) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(500);
    }
}

// The first whole second at least 2.5 s after `ns`: time enough to set a
// start before the tick of the second before it, which places it ahead.
inline std::int64_t secondAfter(std::int64_t ns)
{
    constexpr std::int64_t Second = SoundTime::NsPerSecond;
    return (ns + 2'500'000'000) / Second * Second + Second;
}
