#include "schedule/ClockDisplay.h"

#include "platform/Clock.h"
#include "window/TimeOfDayText.h"

#include <QLabel>
#include <QTimer>

ClockDisplay::ClockDisplay(QLabel* label, QTimer* timer, const Clock& clock)
    : label_(label), clock_(clock)
{
    // A coarse timer may come up to 5 % late, which would let the shown
    // second lag by more than a tick. The timer already runs; restarting it
    // applies the type.
    timer->setTimerType(Qt::PreciseTimer);
    if (timer->isActive())
        timer->start();
}

void ClockDisplay::tick()
{
    label_->setText(timeOfDayText(clock_.now().time()));
}
