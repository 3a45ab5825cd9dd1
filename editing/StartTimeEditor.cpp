#include "StartTimeEditor.h"

#include "HandlerEdge.h"
#include "InputBox.h"
#include "MessageBox.h"
#include "SlotTexts.h"
#include "TimeEntry.h"
#include "TimeOfDayText.h"
#include "WindowControls.h"

#include <QLabel>

StartTimeEditor::StartTimeEditor(
    WindowControls& controls, InputBox& inputBox, MessageBox& messageBox, ErrorReporter& errors)
    : c_(controls), inputBox_(inputBox), messageBox_(messageBox), errors_(errors)
{
}

void StartTimeEditor::edit(int slot)
{
    QLabel* label = c_.slot(slot).startTimeLabel;
    runClickSteps(errors_, slot, [&] {
        const std::optional<QString> answer =
            inputBox_.ask(QStringLiteral("请输入程序启动的时间,例如(19:12:00)"),
                QStringLiteral("设定时间"), QStringLiteral("00:00:00"));
        if (!answer)
            return;
        if (answer->trimmed().isEmpty()) {
            c_.startTime(slot).reset();
            label->setText(startTimePlaceholder());
            return;
        }
        const std::optional<QTime> time = readTimeOfDay(*answer);
        if (!time) {
            // The time in force stays, so the label that shows it stays true.
            messageBox_.show(QStringLiteral("你所输入的不是时间格式,请重试!"),
                QStringLiteral("错误"), MessageIcon::None, MessageButtons::Ok);
            return;
        }
        c_.startTime(slot) = *time;
        label->setText(timeOfDayText(*time));
    });
}
