#include "core/files/pathopen.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/win/files.h"

thread_local char pathopen_filespec[PATHBUFFER];

namespace {

constexpr size_t longest = PATHBUFFER - 1;

bool exists(const char* spec)
{
    return _access(spec, 0) == 0;
}

// Copies text into spec when it fits; false (spec holding it cut) when it is too long.
bool setspec(char* spec, const std::string& text)
{
    size_t n = std::min(text.size(), longest);
    memcpy(spec, text.data(), n);
    spec[n] = '\0';
    return text.size() <= longest;
}

// Tries name, then each folder of paths; the spec holds what was found or last tried.
bool search(const char* paths, const char* name, char* spec)
{
    if (setspec(spec, name) && exists(spec))
        return true;
    for (const char* p = paths; p && *p;) {
        size_t n = strcspn(p, ";");
        std::string candidate(p, n);
        p += n + (p[n] == ';' ? 1 : 0);
        if (candidate.empty())
            continue;
        if (candidate.back() != '\\' && candidate.back() != ':')
            candidate += '\\';
        candidate += name;
        if (setspec(spec, candidate) && exists(spec))
            return true;
    }
    return false;
}

FILE* findandopen(const char* paths, const char* name, const char* mode, int create, char* spec)
{
    if (search(paths, name, spec))
        return mode ? fopenpath(spec, mode) : stdout;
    return create && mode ? fopenpath(name, mode) : nullptr;
}

struct ModuleStream {
    int fd;
    FILE* stream;
};

ssize_t writestream(void* cookie, const char* data, size_t size)
{
    int fd = static_cast<ModuleStream*>(cookie)->fd;
    if (fd < 0) {
        errno = EBADF;
        return -1;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return done ? static_cast<ssize_t>(done) : -1;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

ModuleStream& modulestream(int standardfd)
{
    static ModuleStream streams[] = { { STDOUT_FILENO, nullptr }, { STDERR_FILENO, nullptr } };
    static const bool opened = [] {
        for (ModuleStream& s : streams)
            s.stream = fopencookie(&s, "w", cookie_io_functions_t { nullptr, writestream, nullptr, nullptr });
        setvbuf(streams[1].stream, nullptr, _IONBF, 0);
        return true;
    }();
    (void)opened;
    return streams[standardfd == STDOUT_FILENO ? 0 : 1];
}

void attach(int standardfd, intptr_t handle)
{
    ModuleStream& s = modulestream(standardfd);
    fflush(s.stream);
    int fd = handle >= 0 && handle <= INT32_MAX && fcntl(static_cast<int>(handle), F_GETFD) != -1
        ? static_cast<int>(handle)
        : -1;
    if (s.fd > STDERR_FILENO && s.fd != fd)
        close(s.fd);
    s.fd = fd;
    setvbuf(s.stream, nullptr, _IONBF, 0);
}

} // namespace

FILE* pathopen(const char* paths, const char* name, const char* mode, int create)
{
    return findandopen(paths, name, mode, create, pathopen_filespec);
}

FILE* pathopenspec(const char* paths, const char* name, const char* mode, int create, char* spec)
{
    return findandopen(paths, name, mode, create, spec);
}

int pathfind(const char* paths, const char* name, char* found)
{
    setspec(found, name);
    if (exists(found))
        return 1;
    for (const char* p = paths; p && *p;) {
        size_t n = std::min(strcspn(p, ";"), longest);
        std::string candidate(p, n);
        p += n;
        if (*p == ';')
            ++p;
        if (candidate.empty())
            continue;
        if (candidate.size() < longest && candidate.back() != '\\' && candidate.back() != ':')
            candidate += '\\';
        candidate.append(name, std::min(strlen(name), longest - std::min(candidate.size(), longest)));
        setspec(found, candidate);
        if (exists(found))
            return 1;
    }
    return 0;
}

int fileexists(const char* name, void*, void*)
{
    return name && exists(name) ? 1 : 0;
}

int32_t filesize(const char* name)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(name, &data);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    FindClose(find);
    uint64_t size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

FILE* modulestdout()
{
    return modulestream(STDOUT_FILENO).stream;
}

FILE* modulestderr()
{
    return modulestream(STDERR_FILENO).stream;
}

void attachstdout(intptr_t handle)
{
    attach(STDOUT_FILENO, handle);
}

void attachstderr(intptr_t handle)
{
    attach(STDERR_FILENO, handle);
}
