#include "FormHarness.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

const QString Placeholder = QStringLiteral("- - : - - : - -");

void clickKelTime(FormHarness& h, int slot)
{
    h.slot(slot).setTimeButton->setEnabled(true);
    FormHarness::click(h.slot(slot).setTimeButton);
}

void setStartTime(FormHarness& h, int slot, const QString& answer)
{
    h.inputBox.answerNext(answer);
    clickKelTime(h, slot);
}

} // namespace

TEST(SetStartTime, AskWithTheChineseTextsAndStoreAnAcceptedTime)
{
    FormHarness h;
    setStartTime(h, 3, QStringLiteral("19:12"));

    ASSERT_EQ(h.inputBox.asked().size(), 1u);
    EXPECT_EQ(h.inputBox.asked()[0].prompt, QStringLiteral("请输入程序启动的时间,例如(19:12:00)"));
    EXPECT_EQ(h.inputBox.asked()[0].title, QStringLiteral("设定时间"));
    EXPECT_EQ(h.inputBox.asked()[0].defaultAnswer, QStringLiteral("00:00:00"));
    EXPECT_EQ(h.timetable().slot(3).startTime, QTime(19, 12, 0));
    EXPECT_EQ(h.slot(3).startTimeLabel->text(), QStringLiteral("19:12:00"));
    EXPECT_TRUE(h.messageBox.shown().empty());
    for (int i = 0; i < SlotCount; ++i)
        if (i != 3) {
            EXPECT_FALSE(h.timetable().slot(i).startTime.has_value());
            EXPECT_EQ(h.slot(i).startTimeLabel->text(), Placeholder);
        }
}

TEST(SetStartTime, ShowsEachAcceptedAnswerAsTheClockDoes)
{
    const struct {
        QString answer;
        QTime stored;
        QString shown;
    } cases[] = {
        {QStringLiteral("00:00:00"), QTime(0, 0, 0), QStringLiteral("0:00:00")},
        {QStringLiteral("7:12 PM"), QTime(19, 12, 0), QStringLiteral("19:12:00")},
        {QStringLiteral("上午7:12:05"), QTime(7, 12, 5), QStringLiteral("7:12:05")},
        {QStringLiteral("１９：１２：３０"), QTime(19, 12, 30), QStringLiteral("19:12:30")},
    };
    FormHarness h;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        setStartTime(h, 8, c.answer);
        EXPECT_EQ(h.timetable().slot(8).startTime, c.stored);
        EXPECT_EQ(h.slot(8).startTimeLabel->text(), c.shown);
    }
}

TEST(SetStartTime, ARefusedAnswerIsToldAndTheTimeInForceStays)
{
    const QString refused[] = {
        QStringLiteral("25:00"),
        QStringLiteral("abc"),
        QStringLiteral("2026-12-07"),
        QStringLiteral("2026/12/7 19:12:00"),
    };
    FormHarness h;
    setStartTime(h, 4, QStringLiteral("08:30:00"));
    for (const QString& answer : refused) {
        SCOPED_TRACE(answer.toStdString());
        const std::size_t boxesBefore = h.messageBox.shown().size();
        h.messageBox.answerNext(MessageAnswer::Ok);
        setStartTime(h, 4, answer);

        ASSERT_EQ(h.messageBox.shown().size(), boxesBefore + 1);
        const ScriptedMessageBox::Shown& box = h.messageBox.shown().back();
        EXPECT_EQ(box.text, QStringLiteral("你所输入的不是时间格式,请重试!"));
        EXPECT_EQ(box.title, QStringLiteral("错误"));
        EXPECT_EQ(box.icon, MessageIcon::None);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(h.timetable().slot(4).startTime, QTime(8, 30, 0));
        EXPECT_EQ(h.slot(4).startTimeLabel->text(), QStringLiteral("8:30:00"));
    }
    // The box is not shown again by itself: the operator retries with the button.
    EXPECT_EQ(h.inputBox.asked().size(), 1u + std::size(refused));
}

TEST(SetStartTime, CancelChangesNothing)
{
    FormHarness h;
    setStartTime(h, 0, QStringLiteral("06:45"));
    h.inputBox.cancelNext();
    clickKelTime(h, 0);
    EXPECT_EQ(h.timetable().slot(0).startTime, QTime(6, 45, 0));
    EXPECT_EQ(h.slot(0).startTimeLabel->text(), QStringLiteral("6:45:00"));

    h.inputBox.cancelNext();
    clickKelTime(h, 1);
    EXPECT_FALSE(h.timetable().slot(1).startTime.has_value());
    EXPECT_EQ(h.slot(1).startTimeLabel->text(), Placeholder);
    EXPECT_TRUE(h.messageBox.shown().empty());
}

TEST(SetStartTime, AnEmptyAnswerTakesTheStartTimeAwayAndShowsThePlaceholder)
{
    FormHarness h;
    for (const QString& empty : {QString(), QStringLiteral("   "), QStringLiteral("\u3000")}) {
        SCOPED_TRACE(empty.toStdString());
        setStartTime(h, 6, QStringLiteral("12:00:00"));
        ASSERT_EQ(h.timetable().slot(6).startTime, QTime(12, 0, 0));
        setStartTime(h, 6, empty);
        EXPECT_FALSE(h.timetable().slot(6).startTime.has_value());
        EXPECT_EQ(h.slot(6).startTimeLabel->text(), Placeholder);
    }
    EXPECT_TRUE(h.messageBox.shown().empty());
}
