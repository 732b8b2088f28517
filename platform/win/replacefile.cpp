#include "platform/win/replacefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

constexpr size_t copyBlock = 1 << 16;

bool syncandclose(FILE* stream)
{
    bool ok = std::fflush(stream) == 0 && ::fsync(::fileno(stream)) == 0;
    int saved = errno;
    ok = std::fclose(stream) == 0 && ok;
    if (!ok && saved != 0)
        errno = saved;
    return ok;
}

// The file a symbolic link names, so that saving through the link keeps it; the path itself
// otherwise.
std::string resolvedtarget(const std::string& path)
{
    struct stat link;
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string target(real);
    std::free(real);
    return target;
}

bool renameover(const std::string& temporary, const std::string& target)
{
    if (std::rename(temporary.c_str(), resolvedtarget(target).c_str()) == 0)
        return true;
    int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return false;
}

}  // namespace

FILE* openbeside(const std::string& link, std::string& temporary)
{
    static std::atomic<unsigned> serial { 0 };
    const std::string target = resolvedtarget(link);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return nullptr;
        struct stat existing;
        if (::stat(target.c_str(), &existing) == 0)
            ::fchmod(fd, existing.st_mode & 07777);
        if (FILE* stream = ::fdopen(fd, "w+b"))
            return stream;
        int saved = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        errno = saved;
        return nullptr;
    }
    errno = EEXIST;
    return nullptr;
}

bool replacetarget(FILE* stream, const std::string& temporary, const std::string& target)
{
    if (!syncandclose(stream)) {
        int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return false;
    }
    return renameover(temporary, target);
}

bool publishcopy(FILE* stream, const std::string& target)
{
    if (std::fflush(stream) != 0)
        return false;
    std::string temporary;
    FILE* copy = openbeside(target, temporary);
    if (!copy)
        return false;
    std::vector<char> block(copyBlock);
    int source = ::fileno(stream);
    off_t at = 0;
    bool ok = true;
    for (;;) {
        ssize_t got = ::pread(source, block.data(), block.size(), at);
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (std::fwrite(block.data(), 1, static_cast<size_t>(got), copy) != static_cast<size_t>(got)) {
            ok = false;
            break;
        }
        at += got;
    }
    if (!ok) {
        int saved = errno;
        std::fclose(copy);
        ::unlink(temporary.c_str());
        errno = saved;
        return false;
    }
    return replacetarget(copy, temporary, target);
}

bool replacefilewith(const std::string& target, const void* data, size_t size)
{
    std::string temporary;
    FILE* stream = openbeside(target, temporary);
    if (!stream)
        return false;
    if (size > 0 && std::fwrite(data, 1, size, stream) != size) {
        int saved = errno;
        std::fclose(stream);
        ::unlink(temporary.c_str());
        errno = saved;
        return false;
    }
    return replacetarget(stream, temporary, target);
}
