#pragma once

#include "Mpg123Handle.h"

#include <QString>

// An MP3 file opened and checked for playing: a decoder handle positioned at
// its first frame, its format, and its length as far as the file's header
// (Xing, LAME, VBRI) or its size tells.
struct Mp3File {
    Mpg123Handle handle;
    long rate = 0;
    int channels = 0;
    double estimatedSeconds = 0;
};

// Opens `path` (GUI thread; reads only the start of the file). A file that
// cannot be played is refused with a PlatformError naming the file and why:
// missing, a folder, empty, unreadable, or holding no MPEG audio.
Mp3File openMp3File(const QString& path);
