#pragma once

#include "window/WindowControls.h"

#include <memory>

class PasswordDialog;
class MessageBox;
class QWidget;
class Timetable;

// The lock of the main window: "&Lock", "&UnLock", the blinking warning, and
// the one password dialog, which it owns and creates on first use. The
// dialog is a window of its own, kept above the main window, so the main
// window's controls list none of its widgets. GUI thread only.
class WindowLock {
public:
    WindowLock(WindowControls& c, Timetable& t, MessageBox& messageBox, QWidget& mainWindow);
    ~WindowLock();

    void lock();
    // Opens the password dialog, or brings the open one to the front with
    // what has been typed into it.
    void showPasswordDialog();
    void showWarning();
    void hideWarning();

    // Null until the dialog was first opened.
    PasswordDialog* passwordDialog() const { return dialog_.get(); }

private:
    WindowControls& c_;
    Timetable& t_;
    MessageBox& messageBox_;
    QWidget& mainWindow_;
    std::unique_ptr<PasswordDialog> dialog_;
};
