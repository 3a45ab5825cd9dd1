#pragma once

#include "platform/InputBox.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

// Answers each input box from a queue: a text confirmed with OK, or Cancel.
class ScriptedInputBox final : public InputBox {
public:
    struct Asked {
        QString prompt;
        QString title;
        QString defaultAnswer;
    };

    void answerNext(const QString& text) { answers_.push_back({false, text}); }
    void cancelNext() { answers_.push_back({true, QString()}); }
    std::optional<QString> ask(
        const QString& prompt, const QString& title, const QString& defaultAnswer) override
    {
        asked_.push_back({prompt, title, defaultAnswer});
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
            return std::nullopt;
        }
        const Answer answer = answers_.front();
        answers_.pop_front();
        if (answer.cancelled)
            return std::nullopt;
        return answer.text;
    }
    const std::vector<Asked>& asked() const { return asked_; }

private:
    struct Answer {
        bool cancelled;
        QString text;
    };
    std::deque<Answer> answers_;
    std::vector<Asked> asked_;
};
