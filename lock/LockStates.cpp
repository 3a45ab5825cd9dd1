#include "LockStates.h"

#include "FileDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

QTimer* showWarningTimer(const Form1Controls& c)
{
    return c.timer(3);
}

QTimer* hideWarningTimer(const Form1Controls& c)
{
    return c.timer(4);
}

bool hasFile(const SlotControls& s)
{
    return !s.CommonDialog1->fileName().isEmpty();
}

} // namespace

void applyLockedState(Form1Controls& c)
{
    // Both blink timers restart together, so applying the state again while
    // locked keeps the blink's rhythm: shown half a second later, hidden a
    // second later.
    showWarningTimer(c)->start();
    hideWarningTimer(c)->start();
    c.Command8->setEnabled(false);
    for (SlotControls& s : c.slot)
        for (QPushButton* b : {s.Command1, s.Command2, s.Command3, s.Command5})
            b->setEnabled(false);
    // "&UnLock" is enabled before "&Lock" is disabled, so the focus leaving
    // "&Lock" has a button to go to.
    c.Command7->setEnabled(true);
    c.Command6->setEnabled(false);
}

void applyUnlockedState(Form1Controls& c)
{
    showWarningTimer(c)->stop();
    hideWarningTimer(c)->stop();
    c.Command8->setEnabled(true);
    c.Command6->setEnabled(true);
    c.Command7->setEnabled(false);
    c.Label2->hide();
    c.Command6->setFocus(Qt::OtherFocusReason);
    for (SlotControls& s : c.slot)
        s.Command1->setEnabled(true);
    for (SlotControls& s : c.slot) {
        const bool usable = hasFile(s);
        for (QPushButton* b : {s.Command2, s.Command5, s.Command3})
            b->setEnabled(usable);
    }
}

bool isLocked(const Form1Controls& c)
{
    return c.Command7->isEnabled();
}

QPushButton* buttonForEnter(const Form1Controls& c, QWidget* focused)
{
    if (auto* button = qobject_cast<QPushButton*>(focused); button && button->isEnabled())
        return button;
    return c.Command6->isEnabled() ? c.Command6 : nullptr;
}
