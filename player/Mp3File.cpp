#include "player/Mp3File.h"

#include "platform/PlatformError.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

int FileDescriptor::release()
{
    return std::exchange(fd_, -1);
}

FileStamp stampOf(const struct stat& status)
{
    return {std::int64_t(status.st_size),
        std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

namespace {

[[noreturn]] void refuse(const QString& path, const QString& why)
{
    throw PlatformError(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why));
}

QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a special file");
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The slowest bit rate MPEG audio has: a length above what it allows for the
// file's size is no length of this file.
double longestSecondsFor(std::int64_t bytes, const mpg123_frameinfo& frame)
{
    const double slowestBitsPerSecond = frame.version == MPG123_1_0 ? 32000 : 8000;
    return double(bytes) * 8 / slowestBitsPerSecond;
}

} // namespace

FileDescriptor openRegularFile(const QString& path, struct stat& status)
{
    // Non-blocking, so that opening a FIFO never waits for a writer; the
    // flag means nothing for a regular file's reads.
    FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT)
            refuse(path, QStringLiteral("the file does not exist"));
        if (error == EISDIR)
            refuse(path, QStringLiteral("this is a folder, not a sound file"));
        refuse(path, QStringLiteral("the file cannot be read (%1)").arg(systemReason(error)));
    }
    if (::fstat(fd.get(), &status) != 0)
        refuse(path, QStringLiteral("the file cannot be read (%1)").arg(systemReason(errno)));
    if (S_ISDIR(status.st_mode))
        refuse(path, QStringLiteral("this is a folder, not a sound file"));
    if (!S_ISREG(status.st_mode))
        refuse(path, QStringLiteral("this is %1, not a sound file").arg(kindOf(status.st_mode)));
    return fd;
}

Mp3File openMp3File(const QString& path)
{
    struct stat status { };
    Mp3File file;
    file.fd = openRegularFile(path, status);
    file.stamp = stampOf(status);
    if (status.st_size == 0)
        refuse(path, QStringLiteral("the file is empty"));

    file.handle = newMpg123Handle();
    mpg123_handle* h = file.handle.get();
    // The decoder opens a text file without complaint; only reading the
    // first frame tells an MP3 from anything else.
    const StreamOpening opening = openStream(h, file.fd.get(), file.rate, file.channels);
    if (opening == StreamOpening::Unreadable)
        refuse(path,
            QStringLiteral("the file cannot be read (%1)")
                .arg(QString::fromUtf8(mpg123_strerror(h))));
    mpg123_frameinfo frame{};
    if (opening == StreamOpening::NoMpegAudio || mpg123_info(h, &frame) != MPG123_OK)
        refuse(path, QStringLiteral("this is not an MP3 file (no MPEG audio found in it)"));
    // A frame was found, so the file holds sound, whatever its header says;
    // the length scan finds how much.
    const double longest = longestSecondsFor(file.stamp.size, frame);
    const off_t samples = mpg123_length(h);
    const double told = double(samples) / double(file.rate);
    // A LAME/Info tag's encoder delay is known only when the header was read;
    // a CBR file without one counts as accurate too, by its size alone.
    long accurate = 0;
    long encoderDelay = -1;
    mpg123_getstate(h, MPG123_ACCURATE, &accurate, nullptr);
    mpg123_getstate(h, MPG123_ENC_DELAY, &encoderDelay, nullptr);
    file.lengthFromHeader = accurate != 0 && encoderDelay >= 0 && samples > 0 && told <= longest;
    if (file.lengthFromHeader)
        file.estimatedSeconds = told;
    else if (frame.bitrate > 0)
        file.estimatedSeconds =
            std::min(longest, double(file.stamp.size) * 8 / (frame.bitrate * 1000.0));
    else
        file.estimatedSeconds = std::min(longest, std::max(told, 0.0));
    return file;
}
