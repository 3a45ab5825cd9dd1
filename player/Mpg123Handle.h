#pragma once

#include <mpg123.h>

#include <memory>

struct Mpg123Delete {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};

// A decoder handle set up the way every part of the player wants it: silent
// (the player reports problems itself), 32-bit float output at the file's own
// rate and channel count (conversion to the device is done afterwards), ID3v2
// tags skipped rather than parsed (a cover picture can be megabytes).
// A handle is used by one thread at a time.
using Mpg123Handle = std::unique_ptr<mpg123_handle, Mpg123Delete>;
Mpg123Handle newMpg123Handle();

// Lets a handle that reads a file already known to be MP3 skip a longer
// stretch of damage to find the next frame. Files are not checked with it:
// in junk of that size something that looks like a frame turns up.
void allowResyncOverDamage(mpg123_handle* handle);

// Read errors in a row after which damage is taken as the file's end, in
// playing and in measuring alike.
inline constexpr int ReadErrorsBeforeGivingUp = 4;

// Opens a file's descriptor on a handle and reads up to its first frame,
// which tells the file's rate and channel count. The caller keeps the
// descriptor open for as long as the handle reads it.
enum class StreamOpening { Opened, Unreadable, NoMpegAudio };
StreamOpening openStream(mpg123_handle* handle, int fd, long& rate, int& channels);
