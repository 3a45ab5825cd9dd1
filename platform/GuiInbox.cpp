#include "platform/GuiInbox.h"

void GuiInbox::post(std::function<void()> job)
{
    bool first = false;
    {
        const std::scoped_lock lock(mutex_);
        first = jobs_.empty();
        jobs_.push_back(std::move(job));
    }
    // Invoked by name: nothing of ours crosses the threads inside Qt.
    if (first)
        QMetaObject::invokeMethod(this, "runPosted", Qt::QueuedConnection);
}

void GuiInbox::runPosted()
{
    std::vector<std::function<void()>> jobs;
    {
        const std::scoped_lock lock(mutex_);
        jobs.swap(jobs_);
    }
    for (const auto& job : jobs)
        job();
}
