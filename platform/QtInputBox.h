#pragma once

#include "platform/InputBox.h"

class QtInputBox final : public InputBox {
public:
    std::optional<QString> ask(
        const QString& prompt, const QString& title, const QString& defaultAnswer) override;
};
