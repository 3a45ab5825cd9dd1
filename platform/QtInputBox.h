#pragma once

#include "InputBox.h"

class QtInputBox final : public InputBox {
public:
    std::optional<QString> ask(
        const QString& prompt, const QString& title, const QString& defaultAnswer) override;
};
