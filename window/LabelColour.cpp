#include "window/LabelColour.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QVariant>

namespace {

constexpr quint32 systemColourBit = 0x80000000;
constexpr char valueProperty[] = "colourValue";

} // namespace

namespace LabelColour {

QColor toQColor(quint32 value)
{
    if (value & systemColourBit) {
        // Only the button-text colour is ever asked for; other indexes fall
        // back to the palette's ordinary text colour.
        const QPalette palette = QApplication::palette();
        return (value & 0xFF) == 18 ? palette.color(QPalette::ButtonText)
                                    : palette.color(QPalette::WindowText);
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void set(QLabel* label, quint32 value)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(value));
    label->setPalette(palette);
    label->setProperty(valueProperty, QVariant::fromValue(value));
}

quint32 of(const QLabel* label)
{
    return label->property(valueProperty).value<quint32>();
}

} // namespace LabelColour
