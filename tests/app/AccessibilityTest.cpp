#include "AccessibilityEvents.h"
#include "FormHarness.h"
#include "PasswordDialog.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QAccessibleInterface* accessible(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

TEST(Accessibility, TheWindowIsAFrameAndTheStatusLineAnAlertThatStillAcknowledges)
{
    FormHarness h;
    EXPECT_EQ(accessible(&h.form())->role(), QAccessible::Window);

    h.form().errors().fromTick(2, QStringLiteral("bell.mp3: no sound output"));
    QAccessibleInterface* line = accessible(h.c().statusLine);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->role(), QAccessible::AlertMessage);
    EXPECT_EQ(line->text(QAccessible::Name), h.c().statusLine->text());
    ASSERT_NE(line->actionInterface(), nullptr);
    line->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(h.c().statusLine->isVisible()) << "pressed, the error is acknowledged";
}

TEST(Accessibility, ANewProblemIsAlertedOnceWithoutTakingTheFocus)
{
    FormHarness h;
    h.unlock();
    h.form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h.form()));
    h.c().lockButton->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), h.c().lockButton);
    AccessibilityEvents events;
    ErrorReporter& errors = h.form().errors();
    QPushButton* line = h.c().statusLine;

    errors.fromTick(3, QStringLiteral("bell.mp3: no sound output"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 1);

    errors.warn(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is no longer there (in 58 s)"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 2);
    // Its countdown brought up to date is not news.
    errors.warn(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is no longer there (in 57 s)"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 2);

    errors.clearWarning(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is there again"));
    errors.warn(QStringLiteral("slot 4"), QStringLiteral("bell.mp3 is no longer there (in 9 s)"));
    EXPECT_EQ(events.count(line, QAccessible::Alert), 3);
    EXPECT_EQ(QApplication::focusWidget(), h.c().lockButton);
}

TEST(Accessibility, ThePasswordBoxesAreNamedByTheirCaptions)
{
    FormHarness h;
    FormHarness::click(h.c().unlockButton);
    PasswordDialog* dialog = h.passwordDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(
        accessible(dialog->findChild<QLineEdit*>(QStringLiteral("Text1")))->text(QAccessible::Name),
        QStringLiteral("Name:"));
    EXPECT_EQ(
        accessible(dialog->findChild<QLineEdit*>(QStringLiteral("Text2")))->text(QAccessible::Name),
        QStringLiteral("PassWord:"));
}
