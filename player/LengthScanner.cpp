#include "player/LengthScanner.h"

#include "platform/PlatformError.h"
#include "player/Mpg123Handle.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

FileIdentity FileIdentity::of(const QString& path, const FileStamp& stamp)
{
    return {QFile::encodeName(QFileInfo(path).absoluteFilePath()), stamp.size,
        stamp.modifiedNs / 1000000};
}

std::optional<double> scanLength(const QByteArray& encodedPath, std::stop_token stop)
{
    FileDescriptor fd;
    try {
        struct stat status { };
        fd = openRegularFile(QFile::decodeName(encodedPath), status);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
    Mpg123Handle handle = newMpg123Handle();
    mpg123_handle* h = handle.get();
    allowResyncOverDamage(h);
    if (mpg123_open_fd(h, fd.get()) != MPG123_OK)
        return std::nullopt;
    double seconds = 0;
    int errorsInARow = 0;
    while (!stop.stop_requested()) {
        const int result = mpg123_framebyframe_next(h);
        if (result == MPG123_OK || result == MPG123_NEW_FORMAT) {
            mpg123_frameinfo frame{};
            if (mpg123_info(h, &frame) == MPG123_OK && frame.rate > 0)
                seconds += double(mpg123_spf(h)) / double(frame.rate);
            errorsInARow = 0;
        } else if (result == MPG123_DONE || ++errorsInARow >= ReadErrorsBeforeGivingUp) {
            if (seconds <= 0)
                return std::nullopt;
            return seconds;
        }
    }
    return std::nullopt;
}

LengthScanner::LengthScanner() : thread_([this](std::stop_token stop) { run(stop); })
{
}

LengthScanner::~LengthScanner()
{
    thread_.request_stop();
    wake_.notify_all();
}

void LengthScanner::request(const FileIdentity& file)
{
    {
        const std::scoped_lock lock(mutex_);
        if (lengths_.contains(file) || std::ranges::find(queue_, file) != queue_.end())
            return;
        queue_.push_back(file);
    }
    wake_.notify_all();
}

std::optional<double> LengthScanner::exactSeconds(const FileIdentity& file) const
{
    const std::scoped_lock lock(mutex_);
    const auto found = lengths_.find(file);
    if (found == lengths_.end())
        return std::nullopt;
    return found->second;
}

void LengthScanner::run(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return !queue_.empty(); })) {
        const FileIdentity file = queue_.front();
        lock.unlock();
        const std::optional<double> seconds = scanLength(file.path, stop);
        lock.lock();
        queue_.pop_front();
        if (seconds)
            lengths_[file] = *seconds;
    }
}
