#include "SecondTimer.h"

#include "Clock.h"

#include <QTimer>

int msUntilNextSecond(const QDateTime& now)
{
    return 1000 - now.time().msec();
}

SecondTimer::SecondTimer(QTimer* timer, const Clock& clock) : timer_(timer), clock_(clock)
{
    // A coarse timer may fire up to 5 % late; the type is taken at the next
    // start, so the first arming already uses it.
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setSingleShot(true);
}

void SecondTimer::armForNextSecond()
{
    timer_->start(msUntilNextSecond(clock_.now()));
}
