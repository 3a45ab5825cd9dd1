#pragma once

#include <QFont>

class QString;

// The font made smaller, step by step down to 6 pt, until `text` fits in
// `width` pixels. The window's captions were drawn for narrow fonts that a
// Linux desktop may not have; a wider stand-in shrinks instead of being cut off.
QFont fittedFont(QFont font, const QString& text, int width);
