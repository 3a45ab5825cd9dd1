#include "LockStates.h"

#include "FileDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

QTimer* showWarningTimer(const WindowControls& c)
{
    return c.warningShowTimer;
}

QTimer* hideWarningTimer(const WindowControls& c)
{
    return c.warningHideTimer;
}

bool hasFile(const SlotControls& s)
{
    return !s.fileDialog->fileName().isEmpty();
}

} // namespace

void applyLockedState(WindowControls& c)
{
    // Both blink timers restart together, so applying the state again while
    // locked keeps the blink's rhythm: shown half a second later, hidden a
    // second later.
    showWarningTimer(c)->start();
    hideWarningTimer(c)->start();
    c.quitButton->setEnabled(false);
    for (SlotControls& s : c.rows)
        for (QPushButton* b : {s.chooseFileButton, s.setTimeButton, s.runButton, s.stopButton})
            b->setEnabled(false);
    // "&UnLock" is enabled before "&Lock" is disabled, so the focus leaving
    // "&Lock" has a button to go to.
    c.unlockButton->setEnabled(true);
    c.lockButton->setEnabled(false);
    c.timetable.locked = true;
}

void applyUnlockedState(WindowControls& c)
{
    showWarningTimer(c)->stop();
    hideWarningTimer(c)->stop();
    c.quitButton->setEnabled(true);
    c.lockButton->setEnabled(true);
    c.unlockButton->setEnabled(false);
    c.timetable.locked = false;
    c.lockWarning->hide();
    c.lockButton->setFocus(Qt::OtherFocusReason);
    for (SlotControls& s : c.rows)
        s.chooseFileButton->setEnabled(true);
    for (SlotControls& s : c.rows) {
        const bool usable = hasFile(s);
        for (QPushButton* b : {s.setTimeButton, s.stopButton, s.runButton})
            b->setEnabled(usable);
    }
}

bool isLocked(const WindowControls& c)
{
    return c.timetable.locked;
}

QPushButton* buttonForEnter(const WindowControls& c, QWidget* focused)
{
    if (auto* button = qobject_cast<QPushButton*>(focused); button && button->isEnabled())
        return button;
    return c.lockButton->isEnabled() ? c.lockButton : nullptr;
}
