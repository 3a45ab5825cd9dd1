#pragma once

#include "platform/MessageBox.h"

class QtMessageBox final : public MessageBox {
public:
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
        MessageButtons buttons) override;
};
