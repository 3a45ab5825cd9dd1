#pragma once

#include "platform/SoundFileCheck.h"
#include "player/Mpg123Handle.h"

#include <QString>

#include <sys/stat.h>

#include <cstdint>

// A file descriptor that closes itself.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) { }
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) { }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    int release();

private:
    int fd_ = -1;
};

// The stamp of a file as the system reports it.
FileStamp stampOf(const struct stat& status);

// An MP3 file opened and checked for playing: its descriptor, a decoder
// handle reading it and positioned at its first frame, its format, and its
// length as far as the file's header (Xing, LAME, VBRI) or its size tells.
// The handle is declared after the descriptor, so it is gone before the
// descriptor closes.
struct Mp3File {
    FileDescriptor fd;
    FileStamp stamp;
    Mpg123Handle handle;
    long rate = 0;
    int channels = 0;
    double estimatedSeconds = 0;
    // The header told the length and the file's size allows it; otherwise
    // estimatedSeconds is a guess from the size and the first frame.
    bool lengthFromHeader = false;
};

// Opens `path` for reading without ever waiting on it: anything but a regular
// file (a FIFO, a device, a socket) is refused before it is read. A file that
// cannot be played is refused with a PlatformError naming the file and why:
// missing, a folder, not a regular file, empty, unreadable, or holding no
// MPEG audio. Reads only the start of the file, but a file on a hung drive
// can still block in the kernel, so the player calls it off the GUI thread.
Mp3File openMp3File(const QString& path);

// The descriptor of a regular file opened for reading, or a PlatformError
// as openMp3File gives it.
FileDescriptor openRegularFile(const QString& path, struct stat& status);
