#include "lock/WindowLock.h"

#include "lock/LockStates.h"
#include "lock/PasswordDialog.h"

#include <QLabel>
#include <QWidget>
#include <QWindow>

WindowLock::WindowLock(WindowControls& c, Timetable& t, MessageBox& messageBox, QWidget& mainWindow)
    : c_(c), t_(t), messageBox_(messageBox), mainWindow_(mainWindow)
{
}

WindowLock::~WindowLock() = default;

void WindowLock::lock()
{
    applyLockedState(c_, t_);
}

void WindowLock::showPasswordDialog()
{
    if (!dialog_) {
        dialog_ = std::make_unique<PasswordDialog>(c_, t_, messageBox_);
        // Whichever way the dialog closes, the operator is back on the main
        // window, where an unlock has put the focus on "&Lock".
        QObject::connect(dialog_.get(), &QDialog::finished, &mainWindow_,
            [this] { mainWindow_.activateWindow(); });
    }
    dialog_->winId();
    if (QWindow* own = dialog_->windowHandle())
        own->setTransientParent(mainWindow_.windowHandle());
    dialog_->bringUp();
}

void WindowLock::showWarning()
{
    c_.lockWarning->show();
}

void WindowLock::hideWarning()
{
    c_.lockWarning->hide();
}
