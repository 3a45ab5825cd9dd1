#pragma once

#include "Clock.h"

// A clock that reads whatever the test set.
class FakeClock final : public Clock {
public:
    QDateTime now() const override { return now_; }
    void set(const QDateTime& when) { now_ = when; }
    void setTime(const QTime& time) { now_.setTime(time); }
    void advanceMs(qint64 ms) { now_ = now_.addMSecs(ms); }

private:
    QDateTime now_{QDate(2026, 12, 7), QTime(8, 0)};
};
