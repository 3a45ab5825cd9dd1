#pragma once

#include "platform/MixerHold.h"
#include "platform/SoundFileCheck.h"
#include "platform/SoundOutputCheck.h"

#include <QMap>

#include <condition_variable>
#include <mutex>
#include <optional>

// Checks whose answers the test sets; they are asked on the checks' worker
// thread, so what they hold is guarded.
class FakeSoundOutputCheck final : public SoundOutputCheck {
public:
    QString problem() const override { return problem_; }
    QString name() const override { return name_; }
    void failWith(const QString& problem) { problem_ = problem; }
    void playThrough(const QString& name) { name_ = name; }

private:
    QString problem_;
    QString name_;
};

// The fake players mix nothing, so there is nothing to hold off.
class FakeMixerHold final : public MixerHold {
public:
    void hold() override { }
    void release() override { }
};

// Every file is fit and unchanged unless the test says otherwise; a file
// can be made to hang, as on a share that stopped answering, until released.
class FakeSoundFileCheck final : public SoundFileCheck {
public:
    FileCheckResult check(const QString& path, std::optional<FileStamp>) const override
    {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [&] { return hanging_ != std::optional(path); });
        return {FileStamp{}, problems_.value(path)};
    }

    void hang(const QString& path)
    {
        const std::lock_guard lock(mutex_);
        hanging_ = path;
    }
    void release()
    {
        {
            const std::lock_guard lock(mutex_);
            hanging_.reset();
        }
        released_.notify_all();
    }

    void breakFile(const QString& path, const QString& problem)
    {
        const std::lock_guard lock(mutex_);
        problems_[path] = problem;
    }
    void mendFile(const QString& path)
    {
        const std::lock_guard lock(mutex_);
        problems_.remove(path);
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable released_;
    QMap<QString, QString> problems_;
    std::optional<QString> hanging_;
};
