#include "window/SongFont.h"

#include <QStringList>

QFont songFont(double points)
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(points);
    return font;
}
