#include "simulator/kernel/modellibrarybytes.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool readat(int fd, void* buffer, size_t n, int64_t offset)
{
    auto* p = static_cast<uint8_t*>(buffer);
    while (n > 0) {
        ssize_t got = pread(fd, p, n, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        n -= static_cast<size_t>(got);
        offset += got;
    }
    return true;
}

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
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const uint8_t* p = bytes.data();
    size_t left = bytes.size();
    bool written = true;
    while (written && left > 0) {
        ssize_t put = write(fd, p, left);
        if (put < 0 && errno == EINTR)
            continue;
        written = put > 0;
        p += written ? put : 0;
        left -= written ? static_cast<size_t>(put) : 0;
    }
    // A replaced file keeps its permissions.
    struct stat old { };
    mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    written = written && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
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
