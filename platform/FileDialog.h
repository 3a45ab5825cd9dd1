#pragma once

#include <QString>

#include <optional>

// The open-file dialog of one slot: it asks the operator and answers, and
// keeps no path (the timetable keeps the slot's file). GUI thread only.
// - askOpen is modal: it returns the full path of the file chosen, or nothing
//   when the operator cancelled. The filter is "description|pattern", e.g.
//   "mp3file(*.mp3)|*.mp3".
class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual std::optional<QString> askOpen(const QString& filter) = 0;
};
