#include "player/Mp3FileCheck.h"

#include "platform/PlatformError.h"
#include "player/Mp3File.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

FileCheckResult Mp3FileCheck::check(const QString& path, std::optional<FileStamp> chosen) const
{
    const QFileInfo info(path);
    if (!info.exists())
        return {std::nullopt, QStringLiteral("is no longer there")};
    if (!info.isFile())
        return {std::nullopt, QStringLiteral("is no longer a regular file")};
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {std::nullopt, QStringLiteral("is no longer readable")};
    const FileStamp stamp = stampOf(status);
    if (chosen && stamp != *chosen)
        return {stamp, QStringLiteral("was changed after it was chosen")};
    if (QFile file(path); !file.open(QIODevice::ReadOnly))
        return {stamp, QStringLiteral("is no longer readable")};
    try {
        const Mp3File mp3 = openMp3File(path);
        unsigned char* audio = nullptr;
        std::size_t bytes = 0;
        off_t frame = 0;
        const int decoded = mpg123_decode_frame(mp3.handle.get(), &frame, &audio, &bytes);
        if ((decoded != MPG123_OK && decoded != MPG123_NEW_FORMAT) || bytes == 0)
            return {stamp, QStringLiteral("no longer decodes from its start")};
    } catch (const PlatformError&) {
        return {stamp, QStringLiteral("no longer decodes from its start")};
    }
    return {stamp, QString()};
}
