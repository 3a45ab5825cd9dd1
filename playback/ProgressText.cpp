#include "playback/ProgressText.h"

#include <cmath>
#include <cstdint>

namespace {

// Beyond 2^53 a double no longer holds every whole second.
constexpr double largestExactSeconds = 9007199254740992.0;

QString twoDigitsAtLeast(std::int64_t n)
{
    // The minus sign goes in front of the padded digits: -1 reads -01.
    const QString digits = QStringLiteral("%1").arg(n < 0 ? -n : n, 2, 10, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString progressText(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > largestExactSeconds)
        return progressPlaceholder();
    const auto whole = std::int64_t(std::floor(seconds));
    // Floor division, so the seconds stay in 0 to 59 below zero as well.
    std::int64_t minutes = whole / 60;
    if (whole % 60 < 0)
        --minutes;
    return twoDigitsAtLeast(minutes) + QLatin1Char(':') + twoDigitsAtLeast(whole - 60 * minutes);
}
