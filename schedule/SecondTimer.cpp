#include "schedule/SecondTimer.h"

#include <QTimer>

int msUntilNextSecond(const QDateTime& now)
{
    return 1000 - now.time().msec();
}

SecondTimer::SecondTimer(QTimer* timer) : timer_(timer)
{
    // A coarse timer may fire up to 5 % late; the type is taken at the next
    // start, so the first arming already uses it.
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setSingleShot(true);
}

void SecondTimer::armForNextSecond(const QDateTime& now)
{
    timer_->start(msUntilNextSecond(now));
}
