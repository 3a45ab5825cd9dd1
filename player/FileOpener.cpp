#include "FileOpener.h"

#include "PlatformError.h"

FileOpener::FileOpener(Open open)
    : open_(std::move(open)), thread_([this](std::stop_token stop) { run(stop); })
{
}

FileOpener::~FileOpener()
{
    thread_.request_stop();
    thread_.join();
}

void FileOpener::open(const QString& path, Done done)
{
    post(Job{path, std::move(done), nullptr});
}

void FileOpener::dispose(std::shared_ptr<Mp3File> file)
{
    post(Job{QString(), Done(), std::move(file)});
}

void FileOpener::post(Job job)
{
    {
        const std::scoped_lock lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void FileOpener::run(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return !jobs_.empty(); })) {
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        if (job.done) {
            std::shared_ptr<Mp3File> file;
            QString refusal;
            try {
                file = std::make_shared<Mp3File>(open_(job.path));
            } catch (const PlatformError& error) {
                refusal = error.reason();
            } catch (const std::exception& error) {
                refusal = QString::fromLocal8Bit(error.what());
            }
            job.done(std::move(file), refusal);
        }
        // A disposal closes its file here, as the job goes.
        job = Job{};
        lock.lock();
    }
}
