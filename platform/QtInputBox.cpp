#include "platform/QtInputBox.h"

#include <QApplication>
#include <QInputDialog>

std::optional<QString> QtInputBox::ask(
    const QString& prompt, const QString& title, const QString& defaultAnswer)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(
        QApplication::activeWindow(), title, prompt, QLineEdit::Normal, defaultAnswer, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}
