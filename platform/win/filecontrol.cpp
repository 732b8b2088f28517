#include "platform/win/filecontrol.h"

#include <atomic>
#include <cerrno>
#include <unistd.h>

int _chsize(int fd, long size)
{
    if (size < 0) {
        errno = EINVAL;
        return -1;
    }
    return ftruncate(fd, size) == 0 ? 0 : -1;
}

UINT SetErrorMode(UINT mode)
{
    static std::atomic<UINT> current { 0 };
    return current.exchange(mode);
}
