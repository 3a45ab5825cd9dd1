#pragma once

#include <QtGlobal>

// What the kernel knows of the system clock's synchronisation with a time
// server.
struct ClockSyncState {
    bool synchronised = true;
    // The kernel's estimate of how far the clock is off, in microseconds.
    qint64 estimatedErrorUs = 0;
};

// Whether the wall clock the bells follow can be trusted: the clock makes
// every start on it, so a machine whose time synchronisation stopped rings
// apart from the others. Read on the GUI thread; a read is one system call.
class ClockSync {
public:
    virtual ~ClockSync() = default;
    virtual ClockSyncState read() const = 0;
};
