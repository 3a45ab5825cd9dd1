#include "platform/WorkerThread.h"

WorkerThread::WorkerThread() : thread_([this](std::stop_token stop) { run(stop); })
{
}

WorkerThread::~WorkerThread()
{
    thread_.request_stop();
    thread_.join();
}

void WorkerThread::post(std::function<void()> job)
{
    {
        const std::scoped_lock lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void WorkerThread::run(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return !jobs_.empty(); }) && !stop.stop_requested()) {
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
    }
}
