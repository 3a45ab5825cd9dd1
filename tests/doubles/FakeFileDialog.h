#pragma once

#include "FileDialog.h"

#include <deque>
#include <optional>

// A file dialog whose next choices the test queues: a path, or nothing for
// Cancel. Like the real one, a cancel keeps the previous path.
class FakeFileDialog final : public FileDialog {
public:
    void chooseNext(std::optional<QString> path) { choices_.push_back(std::move(path)); }

    void setFilter(const QString& filter) override { filter_ = filter; }
    void showOpen() override
    {
        ++shownCount_;
        if (choices_.empty())
            return;
        if (choices_.front())
            fileName_ = *choices_.front();
        choices_.pop_front();
    }
    QString fileName() const override { return fileName_; }
    void setFileName(const QString& path) override { fileName_ = path; }

    const QString& filter() const { return filter_; }
    int shownCount() const { return shownCount_; }

private:
    std::deque<std::optional<QString>> choices_;
    QString filter_;
    QString fileName_;
    int shownCount_ = 0;
};
