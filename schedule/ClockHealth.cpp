#include "schedule/ClockHealth.h"

#include "errors/ErrorReporter.h"
#include "platform/Clock.h"

namespace {

const QString ClockKey = QStringLiteral("clock");
const QString FollowsOwnClock = QStringLiteral("; bells follow this machine's own clock");

} // namespace

std::optional<QString> clockHealthWarning(const ClockSyncState& state)
{
    if (!state.synchronised)
        return QStringLiteral("Clock: not synchronised to a time server") + FollowsOwnClock;
    // Rounded up, so an error just past the limit never reads as the limit.
    if (state.estimatedErrorUs > ClockErrorLimitUs)
        return QStringLiteral("Clock: its estimated error is %1 ms")
                   .arg((state.estimatedErrorUs + 999) / 1000) +
            FollowsOwnClock;
    return std::nullopt;
}

ClockHealth::ClockHealth(const Clock& clock, const ClockSync& sync, ErrorReporter& errors)
    : clock_(clock), sync_(sync), errors_(errors)
{
}

void ClockHealth::tick()
{
    // Counted on the monotonic clock: the wall clock is the one in doubt, and
    // a time server stepping it must not hold back or hurry the next look.
    const qint64 nowMs = clock_.monotonicMs();
    if (lastCheckMs_ && nowMs - *lastCheckMs_ < CheckEveryMs)
        return;
    lastCheckMs_ = nowMs;
    if (const std::optional<QString> warning = clockHealthWarning(sync_.read()))
        errors_.warn(ClockKey, *warning);
    else
        errors_.clearWarning(
            ClockKey, QStringLiteral("Clock: synchronised to a time server again"));
}
