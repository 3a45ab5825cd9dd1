#pragma once

#include <QString>

enum class MessageIcon { None, Exclamation, Critical };
enum class MessageButtons { Ok, OkCancel, RetryCancel };
// Closed means the box was dismissed without choosing a button (Esc, frame).
enum class MessageAnswer { Ok, Cancel, Retry, Closed };

// A modal message box. Handlers ask their questions through it so that a test
// can answer them; production shows a QMessageBox. GUI thread only.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MessageAnswer show(
        const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons) = 0;
};
