#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

// Runs jobs one after another on a thread of its own, for work that may wait
// on a file: the caller posts and goes on. A job is destroyed on the worker
// thread too, so whatever it holds (an open file) is let go of there. The
// queue's lock is held only to post or take a job, never while one runs,
// and it is a std::mutex, so the thread sanitizer sees each hand-over.
//
// Threads: post() from any thread; the destructor from the owner's. The destructor lets the job
// under way finish and drops the rest.
class WorkerThread {
public:
    WorkerThread();
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void post(std::function<void()> job);

private:
    void run(std::stop_token stop);

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> jobs_;
    std::jthread thread_;
};
