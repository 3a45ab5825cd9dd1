#pragma once

#include <QDateTime>

// The program's only source of the time of day. Production reads the system
// clock; tests set the time by hand so time-dependent behaviour is checked at
// any instant without waiting. Called on the GUI thread.
class Clock {
public:
    virtual ~Clock() = default;
    // Local date and time, with milliseconds.
    virtual QDateTime now() const = 0;
    // Milliseconds from a fixed point, never set or stepped, going on while
    // the machine sleeps: what it counts between two readings is time that
    // really passed, whatever was done to the wall clock.
    virtual qint64 monotonicMs() const = 0;
};
