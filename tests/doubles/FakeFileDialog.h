#pragma once

#include "platform/FileDialog.h"

#include <deque>
#include <optional>

// A file dialog whose next answers the test queues: a path, or nothing for
// Cancel; with none queued it answers Cancel.
class FakeFileDialog final : public FileDialog {
public:
    void chooseNext(std::optional<QString> path) { choices_.push_back(std::move(path)); }

    std::optional<QString> askOpen(const QString& filter) override
    {
        filter_ = filter;
        ++shownCount_;
        if (choices_.empty())
            return std::nullopt;
        const QString path = choices_.front().value_or(QString());
        const bool cancelled = !choices_.front();
        choices_.pop_front();
        return cancelled ? std::nullopt : std::optional(path);
    }

    const QString& filter() const { return filter_; }
    int shownCount() const { return shownCount_; }

private:
    std::deque<std::optional<QString>> choices_;
    QString filter_;
    int shownCount_ = 0;
};
