#pragma once

#include "platform/ClockSync.h"

// Asks the kernel through ntp_adjtime, without changing anything. Read on
// the GUI thread, from the scheduling clock's tick (a system call that does
// not wait).
class KernelClockSync final : public ClockSync {
public:
    ClockSyncState read() const override;
};
