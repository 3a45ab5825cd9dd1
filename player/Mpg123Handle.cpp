#include "player/Mpg123Handle.h"

#include <new>

Mpg123Handle newMpg123Handle()
{
    int error = MPG123_OK;
    Mpg123Handle handle(mpg123_new(nullptr, &error));
    if (!handle)
        throw std::bad_alloc();
    mpg123_handle* h = handle.get();
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0);
    mpg123_format_none(h);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    return handle;
}

void allowResyncOverDamage(mpg123_handle* handle)
{
    mpg123_param(handle, MPG123_RESYNC_LIMIT, 256 * 1024, 0);
}

StreamOpening openStream(mpg123_handle* handle, int fd, long& rate, int& channels)
{
    if (mpg123_open_fd(handle, fd) != MPG123_OK)
        return StreamOpening::Unreadable;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        channels <= 0)
        return StreamOpening::NoMpegAudio;
    return StreamOpening::Opened;
}
