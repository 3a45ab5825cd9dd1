#include "window/WrappingLabel.h"

#include <QLabel>

#include <algorithm>

void setWrappedText(QLabel* label, const QString& text)
{
    label->setText(text);
    const int height = std::clamp(
        label->heightForWidth(label->width()), label->minimumHeight(), label->maximumHeight());
    label->resize(label->width(), height);
}
