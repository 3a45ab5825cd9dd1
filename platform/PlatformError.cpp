#include "platform/PlatformError.h"

#include <QFileInfo>

PlatformError namingFile(const QString& path, const PlatformError& error)
{
    const QString& reason = error.reason();
    if (path.isEmpty() || reason.contains(path) || reason.contains(QFileInfo(path).fileName()))
        return error;
    return PlatformError(path + QStringLiteral(": ") + reason);
}
