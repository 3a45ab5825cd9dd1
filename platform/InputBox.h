#pragma once

#include <QString>

#include <optional>

// A modal input box with a prompt, a title and a default answer. Returns the
// text confirmed with OK (possibly empty), or nothing when cancelled.
// GUI thread only.
class InputBox {
public:
    virtual ~InputBox() = default;
    virtual std::optional<QString> ask(
        const QString& prompt, const QString& title, const QString& defaultAnswer) = 0;
};
