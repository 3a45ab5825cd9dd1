#include "LengthScanner.h"

#include "Mpg123Handle.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

FileIdentity FileIdentity::of(const QString& path)
{
    const QFileInfo info(path);
    return {QFile::encodeName(info.absoluteFilePath()), info.size(),
        info.lastModified().toMSecsSinceEpoch()};
}

std::optional<double> scanLength(const QByteArray& encodedPath)
{
    Mpg123Handle handle = newMpg123Handle();
    mpg123_handle* h = handle.get();
    long rate = 0;
    int channels = 0;
    if (openStream(h, encodedPath, rate, channels) != StreamOpening::Opened ||
        mpg123_scan(h) != MPG123_OK)
        return std::nullopt;
    const off_t samples = mpg123_length(h);
    if (samples <= 0)
        return std::nullopt;
    return double(samples) / double(rate);
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
        const std::optional<double> seconds = scanLength(file.path);
        lock.lock();
        queue_.pop_front();
        if (seconds)
            lengths_[file] = *seconds;
    }
}
