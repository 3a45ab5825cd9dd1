#pragma once

#include <QDateTime>

class QTimer;

// How long from `now` until just after the next second of the wall clock
// begins. The clock's reading drops the fraction of a millisecond, so this is
// never short of the boundary by the reading; always 1 to 1000 ms.
int msUntilNextSecond(const QDateTime& now);

// Keeps the scheduling clock's timer firing just after each second of the wall
// clock begins. A fixed 1000 ms period drifts against the wall clock and now
// and then steps over a whole second; this timer is single-shot and precise
// and is armed afresh from the clock on every tick, so it cannot drift and
// follows any change of the clock within a second. The timer belongs to the
// window; GUI thread only.
class SecondTimer {
public:
    explicit SecondTimer(QTimer* timer);

    // Called at the start of every tick with the clock's reading, so that a
    // tick that takes long still leaves the next one armed.
    void armForNextSecond(const QDateTime& now);

private:
    QTimer* timer_;
};
