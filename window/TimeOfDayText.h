#pragma once

#include <QString>
#include <QTime>

// A time of day as the window shows it: 24-hour, hours without a leading
// zero, e.g. 19:12:00, 9:05:00, 0:00:00. The clock and the start-time labels
// all use this one form.
inline QString timeOfDayText(const QTime& time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}
