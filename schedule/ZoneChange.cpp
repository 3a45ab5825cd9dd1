#include "schedule/ZoneChange.h"

#include "window/TimeOfDayText.h"

#include <QStringList>
#include <QTimeZone>

namespace {

int secondOfDay(QTime time)
{
    return time.msecsSinceStartOfDay() / 1000;
}

QString hoursAndMinutes(QTime time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

} // namespace

bool ZoneChange::forward() const
{
    return (secondOfDay(to) - secondOfDay(from) + 86400) % 86400 < 43200;
}

bool ZoneChange::skips(QTime timeOfDay) const
{
    if (!forward())
        return false;
    const int second = secondOfDay(timeOfDay);
    const int first = secondOfDay(from);
    const int end = secondOfDay(to);
    // A change over midnight skips the end of one date and the start of the next.
    return first <= end ? first <= second && second < end : second >= first || second < end;
}

std::optional<ZoneChange> zoneChangeBetween(const QDateTime& last, const QDateTime& now)
{
    if (!last.isValid() || last.offsetFromUtc() == now.offsetFromUtc())
        return std::nullopt;
    // Said at the instant of the change where the zone knows it, else at
    // this reading's second.
    qint64 atMs = now.toMSecsSinceEpoch() / 1000 * 1000;
    const QTimeZone zone = now.timeZone();
    if (zone.hasTransitions()) {
        const QTimeZone::OffsetData change = zone.nextTransition(last);
        if (change.atUtc.isValid() && change.atUtc > last && change.atUtc <= now)
            atMs = change.atUtc.toMSecsSinceEpoch();
    }
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(atMs, Qt::UTC);
    return ZoneChange{at.addSecs(last.offsetFromUtc()).time(),
        at.addSecs(now.offsetFromUtc()).time(), !last.isDaylightTime() && now.isDaylightTime(),
        last.isDaylightTime() && !now.isDaylightTime()};
}

QString zoneChangeText(const ZoneChange& change, const std::vector<QTime>& skipped)
{
    const QString what = change.summerTimeBegan ? QStringLiteral("summer time began")
        : change.summerTimeEnded                ? QStringLiteral("summer time ended")
        : change.forward()                      ? QStringLiteral("the zone's clocks went forward")
                                                : QStringLiteral("the zone's clocks went back");
    QString text = QStringLiteral("Clock: %1, %2 became %3")
                       .arg(what, hoursAndMinutes(change.from), hoursAndMinutes(change.to));
    if (!change.forward()) {
        const int minutes =
            (secondOfDay(change.from) - secondOfDay(change.to) + 86400) % 86400 / 60;
        const QString span =
            minutes == 60 ? QStringLiteral("the hour") : QStringLiteral("the %1 min").arg(minutes);
        return text +
            QStringLiteral("; %1 from %2 is not rung again").arg(span, hoursAndMinutes(change.to));
    }
    if (skipped.empty())
        return text;
    QStringList times;
    for (const QTime& time : skipped)
        times << timeOfDayText(time);
    const QString last = times.takeLast();
    const QString named =
        times.isEmpty() ? last : times.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return text +
        QStringLiteral("; %1 %2 tonight")
            .arg(named,
                skipped.size() == 1 ? QStringLiteral("does not occur")
                                    : QStringLiteral("do not occur"));
}
