#pragma once

#include <QObject>

#include <functional>
#include <mutex>
#include <vector>

// Brings work from other threads back to the thread the inbox lives on (the
// GUI thread): post() keeps the job under a std::mutex, which the thread
// sanitizer sees, and asks the event loop to run the jobs waiting. Jobs run
// in the order posted; jobs still waiting when the inbox goes are dropped.
class GuiInbox final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Any thread.
    void post(std::function<void()> job);
    // The inbox's thread: runs the jobs posted so far.
    Q_INVOKABLE void runPosted();

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> jobs_;
};
