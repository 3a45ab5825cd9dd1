#pragma once

#include <mutex>

// SDL opens and closes audio devices on shared tables without a lock of its
// own; every open and close of a device, on any thread, holds this one.
inline std::mutex& sdlDeviceMutex()
{
    static std::mutex mutex;
    return mutex;
}
