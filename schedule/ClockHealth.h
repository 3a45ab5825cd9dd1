#pragma once

#include "platform/ClockSync.h"

#include <QString>

#include <optional>

class Clock;
class ErrorReporter;

// The estimated error above which the bells of two machines are heard apart.
inline constexpr qint64 ClockErrorLimitUs = 100'000;

// What the status line says of a clock in this state; nothing while it is
// synchronised and within the limit.
std::optional<QString> clockHealthWarning(const ClockSyncState& state);

// Watches the system clock's synchronisation at the first tick and every
// minute after, and warns on the status line and standard error until it is
// synchronised again. It only warns: the clock makes every start on the wall
// clock as it reads. GUI thread.
class ClockHealth {
public:
    static constexpr qint64 CheckEveryMs = 60'000;

    ClockHealth(const Clock& clock, const ClockSync& sync, ErrorReporter& errors);

    // Once a second, from the scheduling clock's tick.
    void tick();

private:
    const Clock& clock_;
    const ClockSync& sync_;
    ErrorReporter& errors_;
    std::optional<qint64> lastCheckMs_;
};
