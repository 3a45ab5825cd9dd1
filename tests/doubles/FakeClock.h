#pragma once

#include "platform/Clock.h"

// A clock that reads whatever the test set. Setting the time is a change of
// the wall clock; advancing it is time passing, which the monotonic reading
// counts too. A reading carries its zone: a test in a zone of its choosing
// sets a time in that zone, and time advanced across a change of summer time
// is real time, as the system clock counts it.
class FakeClock final : public Clock {
public:
    QDateTime now() const override { return now_; }
    qint64 monotonicMs() const override { return monotonicMs_; }
    void set(const QDateTime& when) { now_ = when; }
    void setTime(const QTime& time) { now_.setTime(time); }
    void advanceMs(qint64 ms)
    {
        now_ = now_.addMSecs(ms);
        monotonicMs_ += ms;
    }

private:
    QDateTime now_{QDate(2026, 12, 7), QTime(8, 0)};
    qint64 monotonicMs_ = 0;
};
