#pragma once

class Clock;
class QLabel;
class QTimer;

// The window's clock: the time of day in clockLabel, refreshed on every tick
// of the clock timer (100 ms), so it changes within a tenth of a second of the second
// changing. GUI thread only.
class ClockDisplay {
public:
    ClockDisplay(QLabel* label, QTimer* timer, const Clock& clock);

    void tick();

private:
    QLabel* label_;
    const Clock& clock_;
};
