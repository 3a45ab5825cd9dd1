#include "ScriptedMessageBox.h"

#include <gtest/gtest.h>

MessageAnswer ScriptedMessageBox::show(
    const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons)
{
    shown_.push_back({text, title, icon, buttons});
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected message box: " << text.toStdString();
        return MessageAnswer::Closed;
    }
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}
