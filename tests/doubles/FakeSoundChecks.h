#pragma once

#include "SoundFileCheck.h"
#include "SoundOutputCheck.h"

#include <QMap>

#include <atomic>
#include <mutex>

// Checks whose answers the test sets; they are asked on the checks' worker
// thread, so what they hold is guarded.
class FakeSoundOutputCheck final : public SoundOutputCheck {
public:
    QString problem() const override { return problem_; }
    void failWith(const QString& problem) { problem_ = problem; }

private:
    QString problem_;
};

// Every file is fit and unchanged unless the test says otherwise.
class FakeSoundFileCheck final : public SoundFileCheck {
public:
    FileCheckResult check(const QString& path, std::optional<FileStamp>) const override
    {
        const std::lock_guard lock(mutex_);
        return {FileStamp{}, problems_.value(path)};
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
    QMap<QString, QString> problems_;
};
