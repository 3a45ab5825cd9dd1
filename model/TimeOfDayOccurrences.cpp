#include "TimeOfDayOccurrences.h"

#include <QDateTime>

#include <algorithm>

namespace {

constexpr qint64 MsPerDay = 86'400'000;

int offsetAt(const QTimeZone& zone, qint64 utcMs)
{
    return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC));
}

} // namespace

std::optional<qint64> occurrenceOn(QDate date, QTime timeOfDay, const QTimeZone& zone)
{
    if (!date.isValid() || !timeOfDay.isValid() || !zone.isValid())
        return std::nullopt;
    // The reading as if the zone were UTC. Of the offsets in force a day
    // either side (the changes of a zone lie far further apart), each that
    // is in force at the instant it gives is a real reading of that time.
    const qint64 asUtc = QDateTime(date, timeOfDay, Qt::UTC).toMSecsSinceEpoch();
    std::optional<qint64> first;
    for (const int offset : {offsetAt(zone, asUtc - MsPerDay), offsetAt(zone, asUtc + MsPerDay)}) {
        const qint64 instant = asUtc - qint64(offset) * 1000;
        if (offsetAt(zone, instant) == offset)
            first = first ? std::min(*first, instant) : instant;
    }
    return first;
}

std::optional<qint64> nextOccurrence(QTime timeOfDay, qint64 afterMs, const QTimeZone& zone)
{
    if (!zone.isValid())
        return std::nullopt;
    const QDate today = QDateTime::fromMSecsSinceEpoch(afterMs, zone).date();
    // A zone has skipped a whole date once; never two in a row.
    for (int day = 0; day < 3; ++day) {
        const std::optional<qint64> instant = occurrenceOn(today.addDays(day), timeOfDay, zone);
        if (instant && *instant > afterMs)
            return instant;
    }
    return std::nullopt;
}
