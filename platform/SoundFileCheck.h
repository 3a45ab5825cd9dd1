#pragma once

#include <QString>

#include <optional>

// What makes a file the one that was chosen: its size and modification time.
// A file overwritten or truncated in place keeps its name, and an open
// descriptor on it, but not these.
struct FileStamp {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct FileCheckResult {
    std::optional<FileStamp> stamp; // empty when the file cannot be found or read
    // Empty when the file is fit to play; else what is wrong, to follow the
    // file's name, e.g. "is no longer readable".
    QString problem;
};

// Whether a slot's file can still be played. Blocking (it reads the start of
// the file), so it is called off the GUI thread, from several threads at once
// (a thread per slot).
class SoundFileCheck {
public:
    virtual ~SoundFileCheck() = default;
    // Checks that `path` is a regular file, that it is the file of `chosen`
    // when that is given, and that it decodes from its start.
    virtual FileCheckResult check(const QString& path, std::optional<FileStamp> chosen) const = 0;
};
