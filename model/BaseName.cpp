#include "model/BaseName.h"

#include <algorithm>

QString baseName(const QString& path)
{
    const qsizetype lastSlash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype lastBackslash = path.lastIndexOf(QLatin1Char('\\'));
    const QString name = path.mid(std::max(lastSlash, lastBackslash) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}
