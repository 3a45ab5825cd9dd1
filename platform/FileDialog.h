#pragma once

#include <QString>

// The open-file dialog of one slot, which also keeps the slot's file path.
// GUI thread only.
// - setFilter takes "description|pattern", e.g. "mp3file(*.mp3)|*.mp3".
// - showOpen() is modal: it returns when the operator has chosen a file or
//   cancelled. Choosing sets fileName() to the full path; cancelling leaves
//   it as it was, so a slot keeps its last chosen path.
// - setFileName puts a path back, e.g. after the player refused the choice.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual void setFilter(const QString& filter) = 0;
    virtual void showOpen() = 0;
    virtual QString fileName() const = 0;
    virtual void setFileName(const QString& path) = 0;
};
