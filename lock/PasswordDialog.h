#pragma once

#include "window/WindowControls.h"

#include <QDialog>

class MessageBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;
class Timetable;

// The password dialog "KeyWord!!": a user name and a password that, when they
// are the right pair, unlock the main window. It is not modal, so the main
// window's timers go on while it is open. It keeps nothing between openings:
// whatever way it closes, the typed text is discarded. The main window's lock
// owns it. GUI thread only.
class PasswordDialog : public QDialog {
    Q_OBJECT

public:
    PasswordDialog(WindowControls& mainWindow, Timetable& timetable, MessageBox& messageBox);

    // Shows the dialog, starting empty with the focus in the user-name box, or
    // brings it to the front as it is when it is open already.
    void bringUp();

    void onEnterClicked();
    void onCancelClicked();

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();

    WindowControls& main_;
    Timetable& timetable_;
    MessageBox& messageBox_;
    QLineEdit* userNameField_ = nullptr; // user name
    QLineEdit* passwordField_ = nullptr; // password
    QPushButton* enterButton_ = nullptr; // "&Enter"
    QPushButton* cancelButton_ = nullptr; // "&Cancel"
};
