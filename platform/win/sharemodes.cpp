#include "platform/win/sharemodes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"
#include "platform/win/winerror.h"

namespace {

struct OPENMODE {
    bool read = false;
    bool write = false;
    bool create = false;
    bool truncate = false;
    bool append = false;
    std::string stdiomode; // for fdopen, without 'c'
};

bool parsemode(const char* mode, OPENMODE& out)
{
    if (!mode || !std::strchr("rwa", mode[0]))
        return false;
    const bool plus = std::strchr(mode, '+') != nullptr;
    out.read = mode[0] == 'r' || plus;
    out.write = mode[0] != 'r' || plus;
    out.create = mode[0] != 'r';
    out.truncate = mode[0] == 'w';
    out.append = mode[0] == 'a';
    for (const char* c = mode; *c; ++c)
        if (*c != 'c')
            out.stdiomode += *c;
    return true;
}

bool setlock(int fd, short type)
{
    struct flock lock { };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// True when an open holds a lock that conflicts with a lock of type.
bool lockedagainst(int fd, short type)
{
    struct flock lock { };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

int fail(int fd, int error, DWORD lasterror)
{
    if (fd >= 0)
        close(fd);
    SetLastError(lasterror);
    errno = error;
    return -1;
}

// Takes the lock of shflag for an open that can write (writable) and one that means to (writing);
// false when another open holds a lock against it.
bool takesharelock(int fd, int shflag, bool writable, bool writing)
{
    if (shflag == _SH_DENYRW)
        return setlock(fd, writable ? F_WRLCK : F_RDLCK);
    if (shflag == _SH_DENYWR)
        return setlock(fd, F_RDLCK);
    return !lockedagainst(fd, writing ? F_WRLCK : F_RDLCK);
}

// The descriptor with its share lock in place; -1 with errno set.
int openshared(const std::string& posix, const OPENMODE& mode, int shflag)
{
    // Writers open for reading too, so that any lock type can be taken; the file is created as
    // fopen creates it.
    int flags = O_CLOEXEC | (mode.create ? O_CREAT : 0) | (mode.append ? O_APPEND : 0);
    int fd = open(posix.c_str(), flags | (mode.write ? O_RDWR : O_RDONLY), 0666);
    bool writable = mode.write;
    if (fd < 0)
        return fail(fd, errno, ERROR_ACCESS_DENIED);
    if (shflag == _SH_DENYRW && !writable) {
        const int rw = open(posix.c_str(), O_CLOEXEC | O_RDWR);
        if (rw >= 0) {
            close(fd);
            fd = rw;
            writable = true;
        }
    }
    if (!takesharelock(fd, shflag, writable, mode.write))
        return fail(fd, EACCES, ERROR_SHARING_VIOLATION);
    if (mode.truncate && ftruncate(fd, 0) != 0)
        return fail(fd, errno, ERROR_ACCESS_DENIED);
    return fd;
}

} // namespace

FILE* _fsopen(const char* path, const char* mode, int shflag)
{
    OPENMODE parsed;
    if (!path || !parsemode(mode, parsed)
        || (shflag != _SH_DENYRW && shflag != _SH_DENYWR && shflag != _SH_DENYNO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        errno = EINVAL;
        return nullptr;
    }
    const std::string posix = parsed.create ? pathforwriting(path) : findexistingpath(path);
    if (posix.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        errno = ENOENT;
        return nullptr;
    }
    struct stat status;
    if (stat(posix.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        errno = EISDIR;
        return nullptr;
    }
    const int fd = openshared(posix, parsed, shflag);
    if (fd < 0)
        return nullptr;
    FILE* stream = fdopen(fd, parsed.stdiomode.c_str());
    if (!stream)
        close(fd);
    return stream;
}

BOOL locksharemode(FILE* stream, int shflag)
{
    const int fd = stream ? fileno(stream) : -1;
    if (fd < 0 || (shflag != _SH_DENYRW && shflag != _SH_DENYWR && shflag != _SH_DENYNO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int access = fcntl(fd, F_GETFL) & O_ACCMODE;
    const bool writable = access == O_RDWR || access == O_WRONLY;
    if (!takesharelock(fd, shflag, writable, writable)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(const char* path)
{
    const std::string posix = path ? findexistingpath(path) : std::string();
    struct stat status;
    if (posix.empty() || lstat(posix.c_str(), &status) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (S_ISDIR(status.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    int fd = -1;
    if (S_ISREG(status.st_mode)) {
        // Holding an exclusive lock ourselves while the name goes means no open can take one in
        // between; a file we may only read is checked instead.
        fd = open(posix.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        bool held = false;
        if (fd >= 0) {
            held = !setlock(fd, F_WRLCK);
        } else {
            fd = open(posix.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            held = fd >= 0 && lockedagainst(fd, F_WRLCK);
        }
        if (held) {
            fail(fd, EACCES, ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    const bool removed = unlink(posix.c_str()) == 0;
    const int error = errno;
    if (fd >= 0)
        close(fd);
    if (!removed) {
        SetLastError(error == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

BOOL CopyFileA(const char* existing, const char* newname, BOOL failifexists)
{
    const std::string source = existing ? findexistingpath(existing) : std::string();
    struct stat status;
    if (source.empty() || stat(source.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (!newname) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string target = pathforwriting(newname);
    const int held = open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (held >= 0) {
        const bool locked = lockedagainst(held, F_WRLCK);
        close(held);
        if (failifexists) {
            SetLastError(ERROR_FILE_EXISTS);
            return FALSE;
        }
        if (locked) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    FILE* in = std::fopen(source.c_str(), "rbe");
    if (!in) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const bool copied = publishcopy(in, target);
    std::fclose(in);
    if (!copied) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}
