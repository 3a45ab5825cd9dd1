#pragma once

#include <QDate>
#include <QTime>
#include <QTimeZone>

#include <optional>

// When the clocks of a zone read a time of day, as real instants (ms since
// the epoch, UTC), so that what is counted between two of them is time that
// really passes. A bell is due once a day at its time of day: on the date
// summer time begins the clocks may never read it (it is skipped), and on the
// date it ends they may read it twice: the first reading counts, and the
// second only for a bell not rung at the first.

// The instant on `date` at which the clocks of `zone` first read `timeOfDay`;
// none when they skip it that date.
std::optional<qint64> occurrenceOn(QDate date, QTime timeOfDay, const QTimeZone& zone);

// The instant on `date` at which the clocks of `zone` read `timeOfDay` again,
// as they go back over it; none unless they read it twice that date.
std::optional<qint64> repeatOn(QDate date, QTime timeOfDay, const QTimeZone& zone);

// The first of those instants after `afterMs`, one per local date: on the
// date the clocks read it twice, an instant after the first reading is not
// the next occurrence but the next date's.
std::optional<qint64> nextOccurrence(QTime timeOfDay, qint64 afterMs, const QTimeZone& zone);
