#include "Mp3File.h"

#include "PlatformError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

[[noreturn]] void refuse(const QString& path, const QString& why)
{
    throw PlatformError(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why));
}

} // namespace

Mp3File openMp3File(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        refuse(path, QStringLiteral("the file does not exist"));
    if (info.isDir())
        refuse(path, QStringLiteral("this is a folder, not a sound file"));
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        refuse(path, QStringLiteral("the file cannot be read (%1)").arg(probe.errorString()));
    if (probe.size() == 0)
        refuse(path, QStringLiteral("the file is empty"));
    probe.close();

    Mp3File file{newMpg123Handle()};
    mpg123_handle* h = file.handle.get();
    // The decoder opens a text file, an empty file or a folder without
    // complaint; only reading the first frame tells an MP3 from anything else.
    const StreamOpening opening = openStream(h, QFile::encodeName(path), file.rate, file.channels);
    if (opening == StreamOpening::Unreadable)
        refuse(path,
            QStringLiteral("the file cannot be read (%1)")
                .arg(QString::fromUtf8(mpg123_strerror(h))));
    mpg123_frameinfo frame{};
    if (opening == StreamOpening::NoMpegAudio || mpg123_info(h, &frame) != MPG123_OK)
        refuse(path, QStringLiteral("this is not an MP3 file (no MPEG audio found in it)"));
    const off_t samples = mpg123_length(h);
    if (samples <= 0)
        refuse(path, QStringLiteral("the file holds no sound"));
    file.estimatedSeconds = double(samples) / double(file.rate);
    return file;
}
