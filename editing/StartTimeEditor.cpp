#include "StartTimeEditor.h"

#include "Form1Controls.h"
#include "HandlerEdge.h"
#include "InputBox.h"
#include "MessageBox.h"
#include "SlotTexts.h"
#include "TimeEntry.h"
#include "TimeOfDayText.h"

#include <QLabel>

StartTimeEditor::StartTimeEditor(
    Form1Controls& controls, InputBox& inputBox, MessageBox& messageBox, ErrorReporter& errors)
    : c_(controls), inputBox_(inputBox), messageBox_(messageBox), errors_(errors)
{
}

void StartTimeEditor::edit(int slot)
{
    const auto index = std::size_t(slot);
    QLabel* label = c_.slot.at(index).LabStarttime;
    runClickSteps(errors_, slot, [&] {
        const std::optional<QString> answer =
            inputBox_.ask(QStringLiteral("请输入程序启动的时间,例如(19:12:00)"),
                QStringLiteral("设定时间"), QStringLiteral("00:00:00"));
        if (!answer)
            return;
        if (answer->trimmed().isEmpty()) {
            c_.StartTime[index].reset();
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
        c_.StartTime[index] = *time;
        label->setText(timeOfDayText(*time));
    });
}
