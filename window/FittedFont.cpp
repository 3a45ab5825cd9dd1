#include "window/FittedFont.h"

#include <QFontMetrics>
#include <QString>

QFont fittedFont(QFont font, const QString& text, int width)
{
    while (font.pointSizeF() > 6.0 && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    return font;
}
