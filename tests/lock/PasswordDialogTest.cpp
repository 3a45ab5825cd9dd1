#include "Form2.h"
#include "FormHarness.h"
#include "LockStates.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString rightName = QStringLiteral("\u9752\u77F3");
const QString rightPassword = QStringLiteral("52081739");
const QString fullWidthPassword =
    QStringLiteral("\uFF15\uFF12\uFF10\uFF18\uFF11\uFF17\uFF13\uFF19");

// The dialog as the operator finds it after pressing "&UnLock".
struct Dialog {
    explicit Dialog(FormHarness& harness) : h(harness)
    {
        FormHarness::click(h.c().Command7);
        form = h.passwordDialog();
        if (!form)
            return;
        Text1 = form->findChild<QLineEdit*>(QStringLiteral("Text1"));
        Text2 = form->findChild<QLineEdit*>(QStringLiteral("Text2"));
        Command1 = form->findChild<QPushButton*>(QStringLiteral("Command1"));
        Command2 = form->findChild<QPushButton*>(QStringLiteral("Command2"));
    }
    bool complete() const { return form && Text1 && Text2 && Command1 && Command2; }
    void enter(const QString& name, const QString& password)
    {
        FormHarness::type(Text1, name);
        FormHarness::type(Text2, password);
    }

    FormHarness& h;
    Form2* form = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
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
        if (qobject_cast<Form2*>(w) && w->isVisible())
            ++count;
    return count;
}

} // namespace

TEST(PasswordDialog, OpensEmptyAndNotModalWithItsCaptionAndControls)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    EXPECT_TRUE(d.form->isVisible());
    EXPECT_EQ(d.form->windowTitle(), QStringLiteral("KeyWord!!"));
    EXPECT_FALSE(d.form->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(
        d.form->findChild<QLabel*>(QStringLiteral("Label1(0)"))->text(), QStringLiteral("Name:"));
    EXPECT_EQ(d.form->findChild<QLabel*>(QStringLiteral("Label1(1)"))->text(),
        QStringLiteral("PassWord:"));
    EXPECT_EQ(d.Command1->text(), QStringLiteral("&Enter"));
    EXPECT_EQ(d.Command2->text(), QStringLiteral("&Cancel"));
    EXPECT_TRUE(d.Command1->isDefault());
    EXPECT_TRUE(d.Text1->text().isEmpty());
    EXPECT_TRUE(d.Text2->text().isEmpty());
    EXPECT_EQ(d.Text2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(d.form->focusWidget(), d.Text1);
    EXPECT_EQ(d.Text1->nextInFocusChain(), d.Text2);
    EXPECT_EQ(d.Text2->nextInFocusChain(), d.Command1);
    EXPECT_EQ(d.Command1->nextInFocusChain(), d.Command2);
    // 3540 x 2385 twips at 15 twips a pixel.
    EXPECT_EQ(d.form->size(), QSize(236, 159));
    EXPECT_EQ(d.Text1->geometry(), QRect(104, 32, 89, 25));
    EXPECT_EQ(d.Command2->geometry(), QRect(128, 120, 65, 25));
    EXPECT_EQ(d.form->palette().color(QPalette::Window), QColor(77, 91, 132));
    EXPECT_EQ(d.form->findChild<QLabel*>(QStringLiteral("Label1(0)"))
                  ->palette()
                  .color(QPalette::WindowText),
        QColor(192, 255, 255));
    for (const char* name : {"Label1(0)", "Label1(1)"}) {
        const QLabel* label = d.form->findChild<QLabel*>(QLatin1String(name));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
    }
    // The main window's timers go on while the dialog is open.
    EXPECT_TRUE(h.c().timer(1)->isActive());
    EXPECT_TRUE(h.c().timer(2)->isActive());
    EXPECT_TRUE(h.c().timer(3)->isActive());
}

TEST(PasswordDialog, RightPairUnlocksAndCloses)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    ASSERT_EQ(d.Text1->text(), rightName);
    FormHarness::click(d.Command1);
    EXPECT_FALSE(isLocked(h.c()));
    EXPECT_FALSE(d.form->isVisible());
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
        ASSERT_EQ(d.Text2->text(), c.password);
        h.messageBox.answerNext(MessageAnswer::Cancel);
        FormHarness::click(d.Command1);
        ASSERT_EQ(h.messageBox.shown().size(), 1u);
        expectWrongPairBox(h.messageBox.shown().front());
        EXPECT_TRUE(isLocked(h.c()));
        EXPECT_TRUE(d.form->isVisible());
    }
}

TEST(PasswordDialog, RetryEmptiesBothBoxesForGoodAndKeepsTheWindowLocked)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, QStringLiteral("1234"));
    d.Command1->setFocus();
    h.messageBox.answerNext(MessageAnswer::Retry);
    FormHarness::click(d.Command1);
    EXPECT_TRUE(d.Text1->text().isEmpty());
    EXPECT_TRUE(d.Text2->text().isEmpty());
    EXPECT_EQ(d.form->focusWidget(), d.Text1);
    EXPECT_TRUE(d.form->isVisible());
    EXPECT_TRUE(isLocked(h.c()));
    EXPECT_TRUE(h.c().timer(3)->isActive());
    // Undo does not bring back what was typed.
    QTest::keyClick(d.Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(d.Text1->text().isEmpty());
    // And the operator can try again.
    d.enter(rightName, rightPassword);
    FormHarness::click(d.Command1);
    EXPECT_FALSE(isLocked(h.c()));
}

TEST(PasswordDialog, CancelInTheBoxKeepsTheTextsAndEnterChecksThemAgain)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, QStringLiteral("5208"));
    h.messageBox.answerNext(MessageAnswer::Cancel);
    FormHarness::click(d.Command1);
    EXPECT_EQ(d.Text1->text(), rightName);
    EXPECT_EQ(d.Text2->text(), QStringLiteral("5208"));
    EXPECT_TRUE(d.form->isVisible());

    h.messageBox.answerNext(MessageAnswer::Closed);
    QTest::keyClick(d.Text2, Qt::Key_Return);
    EXPECT_EQ(h.messageBox.shown().size(), 2u);
    EXPECT_EQ(d.Text2->text(), QStringLiteral("5208"));

    FormHarness::type(d.Text2, QStringLiteral("1739"));
    QTest::keyClick(d.Text2, Qt::Key_Return);
    EXPECT_FALSE(isLocked(h.c()));
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
        QTest::keyClick(inNameBox ? d.Text1 : d.Text2, Qt::Key_Return);
        EXPECT_FALSE(isLocked(h.c()));
        EXPECT_FALSE(d.form->isVisible());
    }
}

TEST(PasswordDialog, EscPressesCancel)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    h.c().timer(3)->stop();
    QTest::keyClick(d.Text2, Qt::Key_Escape);
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_TRUE(isLocked(h.c()));
    // "&Cancel" applies the locked state again, which restarts the blink.
    EXPECT_TRUE(h.c().timer(3)->isActive());
}

TEST(PasswordDialog, CancelClosesLockedAndTheNextOpeningStartsEmpty)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    FormHarness::click(d.Command2);
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_TRUE(isLocked(h.c()));
    EXPECT_TRUE(h.messageBox.shown().empty());

    Dialog again(h);
    ASSERT_TRUE(again.complete());
    EXPECT_TRUE(again.form->isVisible());
    EXPECT_TRUE(again.Text1->text().isEmpty());
    EXPECT_TRUE(again.Text2->text().isEmpty());
    EXPECT_EQ(again.form->focusWidget(), again.Text1);
}

TEST(PasswordDialog, ClosingByTheFrameLeavesTheWindowLockedAndDiscardsTheText)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, rightPassword);
    EXPECT_TRUE(d.form->close());
    EXPECT_FALSE(d.form->isVisible());
    EXPECT_TRUE(isLocked(h.c()));
    EXPECT_TRUE(h.messageBox.shown().empty());

    Dialog again(h);
    ASSERT_TRUE(again.complete());
    EXPECT_TRUE(again.Text1->text().isEmpty());
    EXPECT_TRUE(again.Text2->text().isEmpty());
}

TEST(PasswordDialog, UnlockPressedAgainRaisesTheSameDialogWithWhatWasTyped)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    d.enter(rightName, QStringLiteral("520"));
    Dialog again(h);
    EXPECT_EQ(again.form, d.form);
    EXPECT_EQ(openPasswordDialogs(), 1);
    EXPECT_EQ(d.Text1->text(), rightName);
    EXPECT_EQ(d.Text2->text(), QStringLiteral("520"));
}

TEST(PasswordDialog, PasswordCannotBeCopiedCutOrDraggedOut)
{
    FormHarness h;
    Dialog d(h);
    ASSERT_TRUE(d.complete());
    QClipboard* clipboard = QApplication::clipboard();
    // The clipboard works here: the name can be copied.
    d.enter(QStringLiteral("name"), rightPassword);
    d.Text1->selectAll();
    QTest::keyClick(d.Text1, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(clipboard->text(), QStringLiteral("name"));

    EXPECT_EQ(d.Text2->displayText(), QStringLiteral("********"));
    d.Text2->selectAll();
    QTest::keyClick(d.Text2, Qt::Key_C, Qt::ControlModifier);
    d.Text2->copy();
    EXPECT_EQ(clipboard->text(), QStringLiteral("name"));
    EXPECT_FALSE(d.Text2->dragEnabled());
    // Cutting deletes the password without putting it on the clipboard.
    QTest::keyClick(d.Text2, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("name"));
    EXPECT_TRUE(d.Text2->text().isEmpty());
}

TEST(PasswordDialog, TypedTextNeverReachesALogOrABox)
{
    static QStringList logged;
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { logged << message; });
    {
        FormHarness h;
        Dialog d(h);
        ASSERT_TRUE(d.complete());
        d.enter(rightName, QStringLiteral("wrong-secret-7"));
        h.messageBox.answerNext(MessageAnswer::Retry);
        FormHarness::click(d.Command1);
        d.enter(rightName, rightPassword);
        FormHarness::click(d.Command1);
        ASSERT_FALSE(isLocked(h.c()));
        for (const auto& box : h.messageBox.shown())
            EXPECT_FALSE(box.text.contains(QStringLiteral("secret")) ||
                box.title.contains(QStringLiteral("secret")));
        EXPECT_FALSE(h.c().StatusLine->isVisible());
    }
    qInstallMessageHandler(previous);
    for (const QString& line : logged) {
        EXPECT_FALSE(line.contains(QStringLiteral("wrong-secret-7"))) << line.toStdString();
        EXPECT_FALSE(line.contains(rightPassword)) << line.toStdString();
    }
}
