#pragma once

#include "platform/Clock.h"

// The machine's wall clock and its monotonic clock. Read on the GUI thread;
// a reading never waits.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    qint64 monotonicMs() const override;
};
