#pragma once

#include "platform/MessageBox.h"

#include <deque>
#include <vector>

// Answers each box from a queue the test fills, and records every box shown.
// A box with no queued answer fails the test and is answered Closed.
class ScriptedMessageBox final : public MessageBox {
public:
    struct Shown {
        QString text;
        QString title;
        MessageIcon icon;
        MessageButtons buttons;
    };

    void answerNext(MessageAnswer answer) { answers_.push_back(answer); }
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
        MessageButtons buttons) override;

    const std::vector<Shown>& shown() const { return shown_; }
    std::size_t unusedAnswers() const { return answers_.size(); }

private:
    std::deque<MessageAnswer> answers_;
    std::vector<Shown> shown_;
};
