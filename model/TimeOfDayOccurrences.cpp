#include "model/TimeOfDayOccurrences.h"

#include <QDateTime>

#include <algorithm>
#include <vector>

namespace {

constexpr qint64 MsPerDay = 86'400'000;

int offsetAt(const QTimeZone& zone, qint64 utcMs)
{
    return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC));
}

// The instants on `date` at which the clocks of `zone` read `timeOfDay`,
// earliest first: none where they skip it, two where they go back over it.
std::vector<qint64> readingsOn(QDate date, QTime timeOfDay, const QTimeZone& zone)
{
    std::vector<qint64> readings;
    if (!date.isValid() || !timeOfDay.isValid() || !zone.isValid())
        return readings;
    // The reading as if the zone were UTC. Of the offsets in force a day
    // either side (the changes of a zone lie far further apart), each that
    // is in force at the instant it gives is a real reading of that time.
    const qint64 asUtc = QDateTime(date, timeOfDay, Qt::UTC).toMSecsSinceEpoch();
    for (const int offset : {offsetAt(zone, asUtc - MsPerDay), offsetAt(zone, asUtc + MsPerDay)}) {
        const qint64 instant = asUtc - qint64(offset) * 1000;
        if (offsetAt(zone, instant) == offset &&
            std::find(readings.begin(), readings.end(), instant) == readings.end())
            readings.push_back(instant);
    }
    std::sort(readings.begin(), readings.end());
    return readings;
}

} // namespace

std::optional<qint64> occurrenceOn(QDate date, QTime timeOfDay, const QTimeZone& zone)
{
    const std::vector<qint64> readings = readingsOn(date, timeOfDay, zone);
    return readings.empty() ? std::nullopt : std::optional(readings.front());
}

std::optional<qint64> repeatOn(QDate date, QTime timeOfDay, const QTimeZone& zone)
{
    const std::vector<qint64> readings = readingsOn(date, timeOfDay, zone);
    return readings.size() == 2 ? std::optional(readings.back()) : std::nullopt;
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
