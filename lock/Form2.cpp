#include "Form2.h"

#include "FittedFont.h"
#include "LockStates.h"
#include "MessageBox.h"
#include "PasswordCheck.h"
#include "SongFont.h"
#include "Twips.h"

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

Form2::Form2(Form1Controls& mainWindow, MessageBox& messageBox)
    : main_(mainWindow), messageBox_(messageBox)
{
    build();
    connect(Command1_, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2_, &QPushButton::clicked, this, &Form2::Command2_Click);
}

void Form2::build()
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
    caption(0, QStringLiteral("Name:"), 480);
    caption(1, QStringLiteral("PassWord:"), 1080);

    Text1_ = new QLineEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(twips.rect(1560, 480, 1335, 375));
    Text2_ = new QLineEdit(this);
    Text2_->setObjectName(QStringLiteral("Text2"));
    Text2_->setGeometry(twips.rect(1560, 1080, 1335, 375));
    // Password echo also refuses to copy or drag the text out of the box. The
    // style would mask with a dot; the operator knows the box by its "*".
    Text2_->setEchoMode(QLineEdit::Password);
    Text2_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    // Neither box limits the length of what is typed.
    Text1_->setMaxLength(std::numeric_limits<int>::max());
    Text2_->setMaxLength(std::numeric_limits<int>::max());

    Command1_ = new QPushButton(QStringLiteral("&Enter"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setGeometry(twips.rect(600, 1800, 975, 375));
    Command1_->setFont(songFont(10.5));
    Command1_->setDefault(true);
    Command2_ = new QPushButton(QStringLiteral("&Cancel"), this);
    Command2_->setObjectName(QStringLiteral("Command2"));
    Command2_->setGeometry(twips.rect(1920, 1800, 975, 375));

    setTabOrder(Text1_, Text2_);
    setTabOrder(Text2_, Command1_);
    setTabOrder(Command1_, Command2_);
}

void Form2::bringUp()
{
    if (isVisible()) {
        raise();
    } else {
        Text1_->setFocus(Qt::OtherFocusReason);
        show();
    }
    activateWindow();
}

void Form2::Command1_Click()
{
    if (isRightPair(Text1_->text(), Text2_->text())) {
        applyUnlockedState(main_);
        accept();
        return;
    }
    const MessageAnswer answer = messageBox_.show(QStringLiteral("Wrong UserName Or Password"),
        QStringLiteral("Enter passWord"), MessageIcon::Exclamation, MessageButtons::RetryCancel);
    if (answer != MessageAnswer::Retry)
        return;
    // setText, unlike clear, also drops the undo history, so nothing typed
    // can be brought back.
    Text2_->setText(QString());
    Text1_->setText(QString());
    Text1_->setFocus(Qt::OtherFocusReason);
    applyLockedState(main_);
}

void Form2::Command2_Click()
{
    applyLockedState(main_);
    reject();
}

void Form2::done(int result)
{
    QDialog::done(result);
    Text1_->setText(QString());
    Text2_->setText(QString());
}

void Form2::keyPressEvent(QKeyEvent* event)
{
    // Esc presses "&Cancel", which locks the window again; only the frame's
    // close button closes without a handler.
    if (event->matches(QKeySequence::Cancel)) {
        Command2_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
