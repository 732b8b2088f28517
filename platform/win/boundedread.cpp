#include "platform/win/boundedread.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string megabytes(int64_t bytes)
{
    return std::to_string(bytes >> 20) + " MB";
}

// The number (from 1) of the first line longer than the limit; 0 when there is none.
size_t firstlonglinenumber(const std::string& text, size_t limit)
{
    size_t number = 1;
    for (size_t start = 0; start < text.size(); ++number) {
        const void* feed = std::memchr(text.data() + start, '\n', text.size() - start);
        size_t end = feed ? static_cast<size_t>(static_cast<const char*>(feed) - text.data()) : text.size();
        if (end - start > limit)
            return number;
        start = end + 1;
    }
    return 0;
}

// Reads fd to its end into text; false with the reason in error on a failed read or past the limit.
bool readtoend(int fd, std::string& text, std::string& error, int64_t limit)
{
    struct stat status { };
    if (fstat(fd, &status) == 0 && status.st_size > 0)
        text.reserve(static_cast<size_t>(status.st_size));
    char buffer[65536];
    // One byte past the limit tells a file that grew while it was read.
    for (ssize_t got = 1; got != 0;) {
        size_t wanted = std::min(sizeof buffer, static_cast<size_t>(limit) + 1 - text.size());
        got = ::read(fd, buffer, wanted);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = std::strerror(errno);
            return false;
        }
        text.append(buffer, static_cast<size_t>(got));
        if (static_cast<int64_t>(text.size()) > limit) {
            error = "larger than " + megabytes(limit);
            return false;
        }
    }
    return true;
}

} // namespace

int openbounded(const char* path, std::string& error, int64_t limit)
{
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    struct stat status { };
    if (fstat(fd, &status) != 0) {
        error = std::strerror(errno);
    } else if (S_ISDIR(status.st_mode)) {
        error = "a folder, not a file";
    } else if (!S_ISREG(status.st_mode)) {
        error = "not a regular file";
    } else if (status.st_size > limit) {
        error = "larger than " + megabytes(limit);
    } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = std::strerror(errno);
    } else {
        return fd;
    }
    ::close(fd);
    return -1;
}

bool readbounded(const char* path, std::string& text, std::string& error, int64_t limit, size_t linelimit)
{
    text.clear();
    int fd = openbounded(path, error, limit);
    if (fd < 0)
        return false;
    bool read = readtoend(fd, text, error, limit);
    ::close(fd);
    size_t line = read ? firstlonglinenumber(text, linelimit) : 0;
    if (line) {
        error = "line " + std::to_string(line) + " is longer than " + std::to_string(linelimit)
            + " characters";
        read = false;
    }
    if (!read)
        text.clear();
    return read;
}

bool readat(int fd, void* buffer, size_t size, int64_t offset)
{
    auto* out = static_cast<unsigned char*>(buffer);
    while (size) {
        ssize_t got = ::pread(fd, out, size, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        size -= static_cast<size_t>(got);
        offset += got;
    }
    return true;
}
