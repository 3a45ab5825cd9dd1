#include "lock/PasswordDialog.h"

#include "lock/LockStates.h"
#include "lock/PasswordCheck.h"
#include "platform/MessageBox.h"
#include "window/FittedFont.h"
#include "window/SongFont.h"
#include "window/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <limits>

namespace {

const QColor dialogBackground(77, 91, 132);
const QColor labelText(192, 255, 255);

} // namespace

PasswordDialog::PasswordDialog(
    WindowControls& mainWindow, Timetable& timetable, MessageBox& messageBox)
    : main_(mainWindow), timetable_(timetable), messageBox_(messageBox)
{
    build();
    connect(enterButton_, &QPushButton::clicked, this, &PasswordDialog::onEnterClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &PasswordDialog::onCancelClicked);
}

void PasswordDialog::build()
{
    const Twips twips(screen() ? screen()->logicalDotsPerInch() : 96.0);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("KeyWord!!"));
    setFixedSize(twips.toPixels(3540), twips.toPixels(2385));
    QPalette background = palette();
    background.setColor(QPalette::Window, dialogBackground);
    setPalette(background);
    setAutoFillBackground(true);

    const auto caption = [&](int index, const QString& text, int top) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("Label1(%1)").arg(index));
        label->setGeometry(twips.rect(480, top, 1080, 375));
        label->setFont(fittedFont(songFont(12), text, label->width()));
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, labelText);
        label->setPalette(colours);
        return label;
    };
    QLabel* userNameCaption = caption(0, QStringLiteral("Name:"), 480);
    QLabel* passwordCaption = caption(1, QStringLiteral("PassWord:"), 1080);

    userNameField_ = new QLineEdit(this);
    userNameField_->setObjectName(QStringLiteral("Text1"));
    userNameField_->setGeometry(twips.rect(1560, 480, 1335, 375));
    passwordField_ = new QLineEdit(this);
    passwordField_->setObjectName(QStringLiteral("Text2"));
    passwordField_->setGeometry(twips.rect(1560, 1080, 1335, 375));
    // A screen reader names each box by its caption.
    userNameCaption->setBuddy(userNameField_);
    passwordCaption->setBuddy(passwordField_);
    // Password echo also refuses to copy or drag the text out of the box. The
    // style would mask with a dot; the operator knows the box by its "*".
    passwordField_->setEchoMode(QLineEdit::Password);
    passwordField_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    // Neither box limits the length of what is typed.
    userNameField_->setMaxLength(std::numeric_limits<int>::max());
    passwordField_->setMaxLength(std::numeric_limits<int>::max());

    enterButton_ = new QPushButton(QStringLiteral("&Enter"), this);
    enterButton_->setObjectName(QStringLiteral("Command1"));
    enterButton_->setGeometry(twips.rect(600, 1800, 975, 375));
    enterButton_->setFont(songFont(10.5));
    enterButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("Command2"));
    cancelButton_->setGeometry(twips.rect(1920, 1800, 975, 375));

    setTabOrder(userNameField_, passwordField_);
    setTabOrder(passwordField_, enterButton_);
    setTabOrder(enterButton_, cancelButton_);
}

void PasswordDialog::bringUp()
{
    if (isVisible()) {
        raise();
    } else {
        userNameField_->setFocus(Qt::OtherFocusReason);
        show();
    }
    activateWindow();
}

void PasswordDialog::onEnterClicked()
{
    if (isRightPair(userNameField_->text(), passwordField_->text())) {
        applyUnlockedState(main_, timetable_);
        accept();
        return;
    }
    const MessageAnswer answer = messageBox_.show(QStringLiteral("Wrong UserName Or Password"),
        QStringLiteral("Enter passWord"), MessageIcon::Exclamation, MessageButtons::RetryCancel);
    if (answer != MessageAnswer::Retry)
        return;
    // setText, unlike clear, also drops the undo history, so nothing typed
    // can be brought back.
    passwordField_->setText(QString());
    userNameField_->setText(QString());
    userNameField_->setFocus(Qt::OtherFocusReason);
    applyLockedState(main_, timetable_);
}

void PasswordDialog::onCancelClicked()
{
    applyLockedState(main_, timetable_);
    reject();
}

void PasswordDialog::done(int result)
{
    QDialog::done(result);
    userNameField_->setText(QString());
    passwordField_->setText(QString());
}

void PasswordDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc presses "&Cancel", which locks the window again; only the frame's
    // close button closes without a handler.
    if (event->matches(QKeySequence::Cancel)) {
        cancelButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
