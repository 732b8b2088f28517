#include "platform/win/replacefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t copyBlock = 1 << 16;

// The temporaries this process has open, for the termination handler. A slot is free, being
// filled, or live; every claim moves its generation on, so that the handler, which may interrupt
// any thread, removes a path only when the slot stayed live and unclaimed while it copied it.
struct LIVETEMPORARY {
    static constexpr int FREE = 0;
    static constexpr int FILLING = 1;
    static constexpr int LIVE = 2;
    std::atomic<int> state { FREE };
    std::atomic<unsigned> generation { 0 };
    std::atomic<pid_t> owner { 0 }; // a forked child leaves its parent's temporaries alone
    char path[PATH_MAX];
};

constexpr int liveSlots = 64;
LIVETEMPORARY live[liveSlots];
constexpr int terminationSignals[] = { SIGTERM, SIGINT, SIGHUP };

// Runs as a signal handler: only async-signal-safe calls.
void removeliveandterminate(int signal)
{
    const pid_t self = ::getpid();
    char path[PATH_MAX];
    for (LIVETEMPORARY& slot : live) {
        unsigned generation = slot.generation.load();
        if (slot.state.load() != LIVETEMPORARY::LIVE || slot.owner.load() != self)
            continue;
        std::memcpy(path, slot.path, sizeof path);
        path[PATH_MAX - 1] = '\0';
        if (slot.state.load() == LIVETEMPORARY::LIVE && slot.generation.load() == generation)
            ::unlink(path);
    }
    struct sigaction fallback { };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

// Takes over the termination signals whose action is the default one; a handler the host
// installed stays, as its own shut-down ends the writes, and an ignored signal stays ignored.
void installterminationhandler()
{
    struct sigaction handler { };
    handler.sa_handler = removeliveandterminate;
    sigemptyset(&handler.sa_mask);
    for (int signal : terminationSignals)
        sigaddset(&handler.sa_mask, signal);
    for (int signal : terminationSignals) {
        struct sigaction current { };
        if (::sigaction(signal, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO)
            && current.sa_handler == SIG_DFL)
            ::sigaction(signal, &handler, nullptr);
    }
}

// A path too long for a slot, or a full table, goes untracked: the next open's sweep removes it.
void track(const std::string& temporary)
{
    if (temporary.size() >= PATH_MAX)
        return;
    installterminationhandler();
    for (LIVETEMPORARY& slot : live) {
        int expected = LIVETEMPORARY::FREE;
        if (!slot.state.compare_exchange_strong(expected, LIVETEMPORARY::FILLING))
            continue;
        slot.generation.fetch_add(1);
        slot.owner.store(::getpid());
        std::memcpy(slot.path, temporary.c_str(), temporary.size() + 1);
        slot.state.store(LIVETEMPORARY::LIVE);
        return;
    }
}

void untrack(const std::string& temporary)
{
    const pid_t self = ::getpid();
    for (LIVETEMPORARY& slot : live) {
        if (slot.state.load() == LIVETEMPORARY::LIVE && slot.owner.load() == self && temporary == slot.path) {
            slot.state.store(LIVETEMPORARY::FREE);
            return;
        }
    }
}

// Removes a temporary that will not be renamed; errno is kept.
void discard(const std::string& temporary)
{
    int saved = errno;
    ::unlink(temporary.c_str());
    untrack(temporary);
    errno = saved;
}

// The process id in name when it is one of the temporaries that begin with prefix
// ("<target>.tmp"): "<prefix><pid>" or "<prefix><pid>-<serial>"; 0 otherwise.
pid_t temporaryowner(const char* name, const std::string& prefix)
{
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0)
        return 0;
    const char* p = name + prefix.size();
    long long pid = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 10; ++p, ++digits)
        pid = pid * 10 + (*p - '0');
    if (digits == 0 || pid > INT_MAX)
        return 0;
    if (*p == '-' && p[1] >= '0' && p[1] <= '9')
        for (++p; *p >= '0' && *p <= '9'; ++p) { }
    return *p == '\0' ? static_cast<pid_t>(pid) : 0;
}

// True when no process has the id, or one that has ended and only waits to be reaped.
bool processgone(pid_t pid)
{
    if (::kill(pid, 0) != 0)
        return errno == ESRCH;
    char path[32];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    FILE* status = std::fopen(path, "re");
    if (!status)
        return false;
    char text[512];
    size_t length = std::fread(text, 1, sizeof text - 1, status);
    std::fclose(status);
    text[length] = '\0';
    // "pid (name) state ...": the name may hold anything, the state follows its last ')'.
    const char* name = std::strrchr(text, ')');
    return name && name[1] == ' ' && name[2] == 'Z';
}

// Removes the temporaries of target whose process no longer exists: a process killed outright
// could not remove its own.
void sweepstale(const std::string& target)
{
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp";
    DIR* listing = ::opendir(folder.c_str());
    if (!listing)
        return;
    int saved = errno;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(listing)) {
        pid_t owner = temporaryowner(entry->d_name, prefix);
        if (owner > 0 && owner != self && processgone(owner))
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
    errno = saved;
}

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
    if (std::rename(temporary.c_str(), resolvedtarget(target).c_str()) == 0) {
        untrack(temporary);
        return true;
    }
    discard(temporary);
    return false;
}

}  // namespace

FILE* openbeside(const std::string& link, std::string& temporary)
{
    static std::atomic<unsigned> serial { 0 };
    const std::string target = resolvedtarget(link);
    sweepstale(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return nullptr;
        track(temporary);
        struct stat existing;
        if (::stat(target.c_str(), &existing) == 0)
            ::fchmod(fd, existing.st_mode & 07777);
        if (FILE* stream = ::fdopen(fd, "w+b"))
            return stream;
        int saved = errno;
        ::close(fd);
        discard(temporary);
        errno = saved;
        return nullptr;
    }
    errno = EEXIST;
    return nullptr;
}

void discardbeside(FILE* stream, const std::string& temporary)
{
    int saved = errno;
    std::fclose(stream);
    errno = saved;
    discard(temporary);
}

bool replacetarget(FILE* stream, const std::string& temporary, const std::string& target)
{
    if (!syncandclose(stream)) {
        discard(temporary);
        return false;
    }
    return renameover(temporary, target);
}

bool renameopen(FILE* stream, const std::string& temporary, const std::string& target)
{
    if (std::fflush(stream) != 0 || ::fsync(::fileno(stream)) != 0)
        return false;
    if (std::rename(temporary.c_str(), resolvedtarget(target).c_str()) != 0)
        return false;
    untrack(temporary);
    return true;
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
        discardbeside(copy, temporary);
        return false;
    }
    return replacetarget(copy, temporary, target);
}

namespace {

bool writebeside(const std::string& target, const void* data, size_t size, bool sync)
{
    std::string temporary;
    FILE* stream = openbeside(target, temporary);
    if (!stream)
        return false;
    if (size > 0 && std::fwrite(data, 1, size, stream) != size) {
        discardbeside(stream, temporary);
        return false;
    }
    if (sync)
        return replacetarget(stream, temporary, target);
    if (std::fclose(stream) != 0) {
        discard(temporary);
        return false;
    }
    return renameover(temporary, target);
}

}  // namespace

bool replacefilewith(const std::string& target, const void* data, size_t size)
{
    return writebeside(target, data, size, true);
}

bool replacecopywith(const std::string& target, const void* data, size_t size)
{
    return writebeside(target, data, size, false);
}
