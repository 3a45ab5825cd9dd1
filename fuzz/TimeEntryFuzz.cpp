// Whatever an operator types as a start time: reading it never crashes, and
// a time it accepts is a valid time of day that reads back the same from the
// text the start-time label shows for it.

#include "editing/TimeEntry.h"
#include "window/TimeOfDayText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QTime> time = readTimeOfDay(typed);
    if (!time)
        return 0;
    if (!time->isValid() || time->msec() != 0)
        std::abort();
    if (readTimeOfDay(timeOfDayText(*time)) != time)
        std::abort();
    return 0;
}
