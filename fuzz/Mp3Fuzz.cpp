// Any bytes behind a chosen file's name: opening, measuring and decoding them
// the way the player does never crashes, never reads out of bounds and never
// hangs; a file that is refused is refused with a PlatformError.

#include "platform/PlatformError.h"
#include "player/LengthScanner.h"
#include "player/Mp3File.h"
#include "player/Mpg123Handle.h"

#include <QFile>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// One in-memory file for the whole run, rewritten for every input, so the
// player's path-based calls read it like any file on disk.
struct MemoryFile {
    MemoryFile() : fd(memfd_create("fuzz.mp3", 0))
    {
        if (fd < 0)
            std::abort();
        path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    }
    void hold(const std::uint8_t* data, std::size_t size) const
    {
        if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size))
            std::abort();
    }
    int fd;
    QString path;
};

void decodeToTheEnd(mpg123_handle* handle)
{
    allowResyncOverDamage(handle);
    std::vector<unsigned char> out(64 * 1024);
    std::size_t done = 0;
    for (int reads = 0; reads < 100000; ++reads) {
        const int result = mpg123_read(handle, out.data(), out.size(), &done);
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const MemoryFile file;
    file.hold(data, size);
    try {
        Mp3File opened = openMp3File(file.path);
        if (opened.rate <= 0 || opened.channels <= 0)
            std::abort();
        decodeToTheEnd(opened.handle.get());
    } catch (const PlatformError&) {
        // A refusal is an answer.
    }
    (void)scanLength(QFile::encodeName(file.path));
    return 0;
}
