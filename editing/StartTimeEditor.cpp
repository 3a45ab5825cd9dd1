#include "editing/StartTimeEditor.h"

#include "editing/TimeEntry.h"
#include "errors/HandlerFailures.h"
#include "model/Timetable.h"
#include "platform/InputBox.h"
#include "platform/MessageBox.h"

StartTimeEditor::StartTimeEditor(
    Timetable& timetable, InputBox& inputBox, MessageBox& messageBox, ErrorReporter& errors)
    : t_(timetable), inputBox_(inputBox), messageBox_(messageBox), errors_(errors)
{
}

void StartTimeEditor::edit(int slot)
{
    runClickSteps(errors_, slot, [&] {
        const std::optional<QString> answer =
            inputBox_.ask(QStringLiteral("请输入程序启动的时间,例如(19:12:00)"),
                QStringLiteral("设定时间"), QStringLiteral("00:00:00"));
        if (!answer)
            return;
        if (answer->trimmed().isEmpty()) {
            t_.setStartTime(slot, std::nullopt);
            return;
        }
        const std::optional<QTime> time = readTimeOfDay(*answer);
        if (!time) {
            // The time in force stays.
            messageBox_.show(QStringLiteral("你所输入的不是时间格式,请重试!"),
                QStringLiteral("错误"), MessageIcon::None, MessageButtons::Ok);
            return;
        }
        t_.setStartTime(slot, *time);
    });
}
