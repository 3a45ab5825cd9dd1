#pragma once

#include "Mp3File.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

// Opens one slot's files, one after another, on a thread of its own, and
// closes the ones nobody took: opening, and even closing, a file on a drive
// or share that stopped answering can wait as long as it does, so neither
// ever happens on the GUI thread.
//
// Threads: open() and dispose() are called on any thread and return at once;
// `done` runs on the opener's thread. The destructor waits for the file
// being opened, if any.
class FileOpener {
public:
    using Open = std::function<Mp3File(const QString&)>;
    // The opened file, or none and the reason it was refused.
    using Done = std::function<void(std::shared_ptr<Mp3File> file, const QString& refusal)>;

    explicit FileOpener(Open open);
    ~FileOpener();
    FileOpener(const FileOpener&) = delete;
    FileOpener& operator=(const FileOpener&) = delete;

    void open(const QString& path, Done done);
    void dispose(std::shared_ptr<Mp3File> file);

private:
    struct Job {
        QString path;
        Done done;
        std::shared_ptr<Mp3File> disposal;
    };

    void post(Job job);
    void run(std::stop_token stop);

    Open open_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<Job> jobs_;
    std::jthread thread_;
};
