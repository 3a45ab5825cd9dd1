#pragma once

#include "FileDialog.h"

// Production file dialog: a QFileDialog shown modally over the active window.
class QtFileDialog final : public FileDialog {
public:
    void setFilter(const QString& filter) override { filter_ = filter; }
    void showOpen() override;
    QString fileName() const override { return fileName_; }
    void setFileName(const QString& path) override { fileName_ = path; }

private:
    QString filter_;
    QString fileName_;
};
