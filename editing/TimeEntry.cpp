#include "editing/TimeEntry.h"

#include <QRegularExpression>

namespace {

constexpr char16_t FullWidthFirst = 0xFF01;
constexpr char16_t FullWidthLast = 0xFF5E;
constexpr char16_t FullWidthOffset = 0xFF01 - 0x21;
constexpr char16_t IdeographicSpace = 0x3000;

enum class Half { None, Morning, Afternoon };

// Morning or afternoon as written before the time (上午, 下午) or after it
// (AM, PM, a.m., p.m., in any case); nothing when neither or both are given.
std::optional<Half> halfOfDay(const QString& prefix, const QString& suffix)
{
    if (!prefix.isEmpty() && !suffix.isEmpty())
        return std::nullopt;
    if (prefix == QStringLiteral("上午"))
        return Half::Morning;
    if (prefix == QStringLiteral("下午"))
        return Half::Afternoon;
    if (suffix.isEmpty())
        return Half::None;
    return suffix.front().toLower() == QLatin1Char('a') ? Half::Morning : Half::Afternoon;
}

} // namespace

QString toHalfWidth(const QString& text)
{
    QString half = text;
    for (QChar& c : half) {
        const char16_t u = c.unicode();
        if (u >= FullWidthFirst && u <= FullWidthLast)
            c = QChar(char16_t(u - FullWidthOffset));
        else if (u == IdeographicSpace)
            c = QLatin1Char(' ');
    }
    return half;
}

std::optional<QTime> readTimeOfDay(const QString& text)
{
    // Plain ASCII digits only: QRegularExpression's \d would also take
    // digits of other scripts, which QString::toInt does not read.
    static const QRegularExpression pattern(QStringLiteral(
        "\\A(上午|下午)?\\s*([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?\\s*([AaPp]\\.?[Mm]\\.?)?\\z"));
    const QRegularExpressionMatch match = pattern.match(toHalfWidth(text).trimmed());
    if (!match.hasMatch())
        return std::nullopt;

    const std::optional<Half> half = halfOfDay(match.captured(1), match.captured(5));
    if (!half)
        return std::nullopt;
    int hour = match.captured(2).toInt();
    const int minute = match.captured(3).toInt();
    const int second = match.hasCaptured(4) ? match.captured(4).toInt() : 0;
    if (*half != Half::None) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (*half == Half::Afternoon ? 12 : 0);
    }
    if (!QTime::isValid(hour, minute, second, 0))
        return std::nullopt;
    return QTime(hour, minute, second);
}
