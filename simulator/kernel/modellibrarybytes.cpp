#include "simulator/kernel/modellibrarybytes.h"

#include "platform/win/replacefile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool readwhole(int fd, std::vector<uint8_t>& bytes)
{
    struct stat status { };
    if (fstat(fd, &status) != 0 || status.st_size < 0)
        return false;
    bytes.resize(static_cast<size_t>(status.st_size));
    return readat(fd, bytes.data(), bytes.size(), 0);
}

bool replacefile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return replacefilewith(path, bytes.data(), bytes.size());
}

bool locksignature(int fd, short type)
{
    struct flock lock { };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 16;
    return fcntl(fd, F_SETLK, &lock) == 0;
}
