#include "lock/PasswordDialog.h"
#include "FormHarness.h"
#include "lock/LockStates.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>

#include <unistd.h>

namespace {

const QString rightName = QStringLiteral("\u9752\u77F3");
const QString rightPassword = QStringLiteral("52081739");
const QString fullWidthPassword =
    QStringLiteral("\uFF15\uFF12\uFF10\uFF18\uFF11\uFF17\uFF13\uFF19");

// The dialog as the operator finds it after pressing "&UnLock".
struct Dialog {
    explicit Dialog(FormHarness& harness) : h(harness)
    {
        FormHarness::click(h.c().unlockButton);
        dialog = h.passwordDialog();
        if (!dialog)
            return;
        userNameField = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
        passwordField = dialog->findChild<QLineEdit*>(QStringLiteral("Text2"));
        enterButton = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
        cancelButton = dialog->findChild<QPushButton*>(QStringLiteral("Command2"));
    }
    bool complete() const
    {
        return dialog && userNameField && passwordField && enterButton && cancelButton;
    }
    void enter(const QString& name, const QString& pass)
    {
        FormHarness::type(userNameField, name);
        FormHarness::type(passwordField, pass);
    }

    FormHarness& h;
    PasswordDialog* dialog = nullptr;
    QLineEdit* userNameField = nullptr;
    QLineEdit* passwordField = nullptr;
    QPushButton* enterButton = nullptr;
    QPushButton* cancelButton = nullptr;
};

void expectWrongPairBox(const ScriptedMessageBox::Shown& box)
{
    EXPECT_EQ(box.text, QStringLiteral("Wrong UserName Or Password"));
    EXPECT_EQ(box.title, QStringLiteral("Enter passWord"));
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_EQ(box.buttons, MessageButtons::RetryCancel);
}

int openPasswordDialogs()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<PasswordDialog*>(w) && w->isVisible())
            ++count;
    return count;
}

// The program logs with fputs and fprintf, which Qt's message handler never
// sees, so standard error itself goes to a file for as long as this lives.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        file_.open();
        std::fflush(stderr);
        dup2(file_.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture() { restore(); }
    QByteArray written()
    {
        restore();
        file_.seek(0);
        return file_.readAll();
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }

    QTemporaryFile file_;
    int saved_ = dup(STDERR_FILENO);
};

} // namespace

TEST(PasswordDialog, OpensEmptyAndNotModalWithItsCaptionAndControls)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    EXPECT_TRUE(d.dialog->isVisible());
    EXPECT_EQ(d.dialog->windowTitle(), QStringLiteral("KeyWord!!"));
    EXPECT_FALSE(d.dialog->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(
        d.dialog->findChild<QLabel*>(QStringLiteral("Label1(0)"))->text(), QStringLiteral("Name:"));
    EXPECT_EQ(d.dialog->findChild<QLabel*>(QStringLiteral("Label1(1)"))->text(),
        QStringLiteral("PassWord:"));
    EXPECT_EQ(d.enterButton->text(), QStringLiteral("&Enter"));
    EXPECT_EQ(d.cancelButton->text(), QStringLiteral("&Cancel"));
    EXPECT_TRUE(d.enterButton->isDefault());
    EXPECT_TRUE(d.userNameField->text().isEmpty());
    EXPECT_TRUE(d.passwordField->text().isEmpty());
    EXPECT_EQ(d.passwordField->echoMode(), QLineEdit::Password);
    EXPECT_EQ(d.dialog->focusWidget(), d.userNameField);
    EXPECT_EQ(d.userNameField->nextInFocusChain(), d.passwordField);
    EXPECT_EQ(d.passwordField->nextInFocusChain(), d.enterButton);
    EXPECT_EQ(d.enterButton->nextInFocusChain(), d.cancelButton);
    // 3540 x 2385 twips at 15 twips a pixel.
    EXPECT_EQ(d.dialog->size(), QSize(236, 159));
    EXPECT_EQ(d.userNameField->geometry(), QRect(104, 32, 89, 25));
    EXPECT_EQ(d.cancelButton->geometry(), QRect(128, 120, 65, 25));
    EXPECT_EQ(d.dialog->palette().color(QPalette::Window), QColor(77, 91, 132));
    EXPECT_EQ(d.dialog->findChild<QLabel*>(QStringLiteral("Label1(0)"))
                  ->palette()
                  .color(QPalette::WindowText),
        QColor(192, 255, 255));
    for (const char* name : {"Label1(0)", "Label1(1)"}) {
        const QLabel* label = d.dialog->findChild<QLabel*>(QLatin1String(name));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
    // The main window's timers go on while the dialog is open.
    EXPECT_TRUE(h.c().schedulerTimer->isActive());
    EXPECT_TRUE(h.c().clockTimer->isActive());
    EXPECT_TRUE(h.c().warningShowTimer->isActive());
}

TEST(PasswordDialog, RightPairUnlocksAndCloses)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    ASSERT_EQ(d.userNameField->text(), rightName);
    FormHarness::click(d.enterButton);
    EXPECT_FALSE(h.timetable().locked());
    EXPECT_FALSE(d.dialog->isVisible());
    EXPECT_TRUE(h.messageBox.shown().empty());
}

TEST(PasswordDialog, WrongPairsShowTheBoxAndKeepTheWindowLocked)
{
    struct Case {
        const char* what;
        QString name;
        QString password;
    };
    const Case cases[] = {
        {"right name, wrong password", rightName, QStringLiteral("52081738")},
        {"wrong name, right password", QStringLiteral("qingshi"), rightPassword},
        {"both empty", QString(), QString()},
        {"trailing blank", rightName + QLatin1Char(' '), rightPassword},
        {"leading blank", rightName, QLatin1Char(' ') + rightPassword},
        {"full-width digits", rightName, fullWidthPassword},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FormHarness h;
        Dialog d(h);
        ASSERT_TRUE(d.complete());
        d.enter(c.name, c.password);
        ASSERT_EQ(d.passwordField->text(), c.password);
        h.messageBox.answerNext(MessageAnswer::Cancel);
        FormHarness::click(d.enterButton);
        ASSERT_EQ(h.messageBox.shown().size(), 1u);
        expectWrongPairBox(h.messageBox.shown().front());
        EXPECT_TRUE(h.timetable().locked());
        EXPECT_TRUE(d.dialog->isVisible());
    }
}

TEST(PasswordDialog, RetryEmptiesBothBoxesForGoodAndKeepsTheWindowLocked)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, QStringLiteral("1234"));
    d.enterButton->setFocus();
    h.messageBox.answerNext(MessageAnswer::Retry);
    FormHarness::click(d.enterButton);
    EXPECT_TRUE(d.userNameField->text().isEmpty());
    EXPECT_TRUE(d.passwordField->text().isEmpty());
    EXPECT_EQ(d.dialog->focusWidget(), d.userNameField);
    EXPECT_TRUE(d.dialog->isVisible());
    EXPECT_TRUE(h.timetable().locked());
    EXPECT_TRUE(h.c().warningShowTimer->isActive());
    // Undo does not bring back what was typed.
    QTest::keyClick(d.userNameField, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(d.userNameField->text().isEmpty());
    // And the operator can try again.
    d.enter(rightName, rightPassword);
    FormHarness::click(d.enterButton);
    EXPECT_FALSE(h.timetable().locked());
}

TEST(PasswordDialog, CancelInTheBoxKeepsTheTextsAndEnterChecksThemAgain)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, QStringLiteral("5208"));
    h.messageBox.answerNext(MessageAnswer::Cancel);
    FormHarness::click(d.enterButton);
    EXPECT_EQ(d.userNameField->text(), rightName);
    EXPECT_EQ(d.passwordField->text(), QStringLiteral("5208"));
    EXPECT_TRUE(d.dialog->isVisible());

    h.messageBox.answerNext(MessageAnswer::Closed);
    QTest::keyClick(d.passwordField, Qt::Key_Return);
    EXPECT_EQ(h.messageBox.shown().size(), 2u);
    EXPECT_EQ(d.passwordField->text(), QStringLiteral("5208"));

    FormHarness::type(d.passwordField, QStringLiteral("1739"));
    QTest::keyClick(d.passwordField, Qt::Key_Return);
    EXPECT_FALSE(h.timetable().locked());
    EXPECT_EQ(h.messageBox.unusedAnswers(), 0u);
}

TEST(PasswordDialog, EnterInEitherBoxPressesEnter)
{
    for (const bool inNameBox : {true, false}) {
        SCOPED_TRACE(inNameBox ? "name box" : "password box");
        FormHarness h;
        Dialog d(h);
        ASSERT_TRUE(d.complete());
        d.enter(rightName, rightPassword);
        QTest::keyClick(inNameBox ? d.userNameField : d.passwordField, Qt::Key_Return);
        EXPECT_FALSE(h.timetable().locked());
        EXPECT_FALSE(d.dialog->isVisible());
    }
}

TEST(PasswordDialog, EscPressesCancel)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    h.c().warningShowTimer->stop();
    QTest::keyClick(d.passwordField, Qt::Key_Escape);
    EXPECT_FALSE(d.dialog->isVisible());
    EXPECT_TRUE(h.timetable().locked());
    // "&Cancel" applies the locked state again, which restarts the blink.
    EXPECT_TRUE(h.c().warningShowTimer->isActive());
}

TEST(PasswordDialog, CancelClosesLockedAndTheNextOpeningStartsEmpty)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    FormHarness::click(d.cancelButton);
    EXPECT_FALSE(d.dialog->isVisible());
    EXPECT_TRUE(h.timetable().locked());
    EXPECT_TRUE(h.messageBox.shown().empty());

    Dialog again(h);
    ASSERT_TRUE(again.complete());
    EXPECT_TRUE(again.dialog->isVisible());
    EXPECT_TRUE(again.userNameField->text().isEmpty());
    EXPECT_TRUE(again.passwordField->text().isEmpty());
    EXPECT_EQ(again.dialog->focusWidget(), again.userNameField);
}

TEST(PasswordDialog, ClosingByTheFrameLeavesTheWindowLockedAndDiscardsTheText)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    EXPECT_TRUE(d.dialog->close());
    EXPECT_FALSE(d.dialog->isVisible());
    EXPECT_TRUE(h.timetable().locked());
    EXPECT_TRUE(h.messageBox.shown().empty());

    Dialog again(h);
    ASSERT_TRUE(again.complete());
    EXPECT_TRUE(again.userNameField->text().isEmpty());
    EXPECT_TRUE(again.passwordField->text().isEmpty());
}

TEST(PasswordDialog, UnlockPressedAgainRaisesTheSameDialogWithWhatWasTyped)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, QStringLiteral("520"));
    Dialog again(h);
    EXPECT_EQ(again.dialog, d.dialog);
    EXPECT_EQ(openPasswordDialogs(), 1);
    EXPECT_EQ(d.userNameField->text(), rightName);
    EXPECT_EQ(d.passwordField->text(), QStringLiteral("520"));
}

TEST(PasswordDialog, PasswordCannotBeCopiedCutOrDraggedOut)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    QClipboard* clipboard = QApplication::clipboard();
    // The clipboard works here: the name can be copied.
    d.enter(QStringLiteral("name"), rightPassword);
    d.userNameField->selectAll();
    QTest::keyClick(d.userNameField, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(clipboard->text(), QStringLiteral("name"));

    EXPECT_EQ(d.passwordField->displayText(), QStringLiteral("********"));
    d.passwordField->selectAll();
    QTest::keyClick(d.passwordField, Qt::Key_C, Qt::ControlModifier);
    d.passwordField->copy();
    EXPECT_EQ(clipboard->text(), QStringLiteral("name"));
    EXPECT_FALSE(d.passwordField->dragEnabled());
    // Cutting deletes the password without putting it on the clipboard.
    QTest::keyClick(d.passwordField, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("name"));
    EXPECT_TRUE(d.passwordField->text().isEmpty());
}

TEST(PasswordDialog, TypedTextNeverReachesALogOrABox)
{
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { logged << message; });
    const char* const marker = "standard error is captured";
    StandardErrorCapture standardError;
    {
        FormHarness h;
        Dialog d(h);
        ASSERT_TRUE(d.complete());
        d.enter(rightName, QStringLiteral("wrong-secret-7"));
        h.messageBox.answerNext(MessageAnswer::Retry);
        FormHarness::click(d.enterButton);
        d.enter(rightName, rightPassword);
        FormHarness::click(d.enterButton);
        ASSERT_FALSE(h.timetable().locked());
        for (const auto& box : h.messageBox.shown())
            EXPECT_FALSE(box.text.contains(QStringLiteral("secret")) ||
                box.title.contains(QStringLiteral("secret")));
        EXPECT_FALSE(h.c().statusLine->isVisible());
    }
    std::fprintf(stderr, "%s\n", marker);
    const QByteArray written = standardError.written();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(written.contains(marker)) << written.toStdString();
    EXPECT_FALSE(written.contains("wrong-secret-7")) << written.toStdString();
    EXPECT_FALSE(written.contains(rightPassword.toLatin1())) << written.toStdString();
    for (const QString& line : logged) {
        EXPECT_FALSE(line.contains(QStringLiteral("wrong-secret-7"))) << line.toStdString();
        EXPECT_FALSE(line.contains(rightPassword)) << line.toStdString();
    }
}
