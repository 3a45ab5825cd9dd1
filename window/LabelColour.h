#pragma once

#include <QColor>
#include <QtGlobal>

class QLabel;

// Text colours of the slot labels as colour values: red in the lowest byte,
// then green and blue; a value with the top bit set names a palette colour by
// its index (18 is the button-text colour). The value is kept on the label so
// tests and tools can tell which colour a label has; the program goes by the
// timetable.
namespace LabelColour {
inline constexpr quint32 Red = 0x0000FF;
inline constexpr quint32 ButtonText = 0x80000012;
inline constexpr quint32 Black = 0x000000;
// The slot labels' text colour when the window is created, (128, 255, 255).
inline constexpr quint32 SlotText = 0xFFFF80;

QColor toQColor(quint32 value);
void set(QLabel* label, quint32 value);
quint32 of(const QLabel* label);
} // namespace LabelColour
