#pragma once

#include "player/Mp3File.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <tuple>

// A file as it is on disk now: the same path with the same size and
// modification time is taken to be the same sound.
struct FileIdentity {
    QByteArray path;
    qint64 size = 0;
    qint64 modifiedMs = 0;

    // Names the file by its absolute path without reading the disk: the
    // stamp comes from the descriptor the file was opened on.
    static FileIdentity of(const QString& path, const FileStamp& stamp);
    bool operator==(const FileIdentity&) const = default;
    bool operator<(const FileIdentity& other) const
    {
        return std::tie(path, size, modifiedMs) <
            std::tie(other.path, other.size, other.modifiedMs);
    }
};

// The exact lengths of opened files, found by reading every frame (a file
// without a Xing/LAME/VBRI header tells its length only that way), on a
// thread of its own so that opening never waits for it. Lengths are kept, so
// opening the same unchanged file again knows its length at once.
//
// Threads: request() and exactSeconds() are called on the GUI thread; the
// scan runs on the scanner's own thread, and the destructor stops it between
// two frames, so a huge file never holds up the end of the program. The map and queue are guarded
// by a mutex that is never held while a file is read. Shared by all players; must outlive them.
class LengthScanner {
public:
    LengthScanner();
    ~LengthScanner();
    LengthScanner(const LengthScanner&) = delete;
    LengthScanner& operator=(const LengthScanner&) = delete;

    void request(const FileIdentity& file);
    std::optional<double> exactSeconds(const FileIdentity& file) const;

private:
    void run(std::stop_token stop);

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<FileIdentity> queue_;
    std::map<FileIdentity, double> lengths_;
    std::jthread thread_;
};

// Reads every frame of the file the way the decoder plays it: past damage
// it can resync over, each frame at its own sample rate, whatever a header
// claims. Nothing when the file cannot be read or `stop` is requested, which
// is looked at between frames.
std::optional<double> scanLength(const QByteArray& encodedPath, std::stop_token stop = {});
