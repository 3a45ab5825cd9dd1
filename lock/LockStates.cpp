#include "lock/LockStates.h"

#include "model/Timetable.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

void applyLockedState(WindowControls& c, Timetable& t)
{
    // Both blink timers restart together, so applying the state again while
    // locked keeps the blink's rhythm: shown half a second later, hidden a
    // second later.
    c.warningShowTimer->start();
    c.warningHideTimer->start();
    t.lock();
}

void applyUnlockedState(WindowControls& c, Timetable& t)
{
    c.warningShowTimer->stop();
    c.warningHideTimer->stop();
    t.unlock();
    c.lockWarning->hide();
    c.lockButton->setFocus(Qt::OtherFocusReason);
}

QPushButton* buttonForEnter(const WindowControls& c, const Timetable& t, QWidget* focused)
{
    // The focused widget is the one place a widget decides: the one the
    // operator is on.
    if (auto* button = qobject_cast<QPushButton*>(focused); button && button->isEnabled())
        return button;
    return controlsEnabled(t.all(), t.locked()).lock ? c.lockButton : nullptr;
}
