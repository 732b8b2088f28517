#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "core/windows/crashreport.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/pathboundary.h"
#include "platform/win/system.h"

namespace {

bool writeall(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string readlog()
{
    std::string text;
    const int fd = open(toposixpath(crashreport.logfile).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(fd);
    return text;
}

} // namespace

void EXCEPTION_HANDLER::log(const char* text)
{
    const std::string line = std::string(text ? text : "") + "\n";
    // Before the reports folder is prepared there is no log file; the line still goes somewhere.
    if (!*crashreport.logfile) {
        std::fputs(line.c_str(), stderr);
        return;
    }
    // One write of the whole line with O_APPEND keeps lines of threads and processes apart; the
    // file is never followed through a link.
    const int fd = open(toposixpath(crashreport.logfile).c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 || !writeall(fd, line))
        std::fputs(line.c_str(), stderr);
    if (fd >= 0)
        close(fd);
}

void EXCEPTION_HANDLER::reportlog(const char* text)
{
    if (!*crashreport.reportsfolder) {
        log(text);
        return;
    }
    const std::string body = std::string(text ? text : "") + "\n" + readlog();
    // Report names as the crash reports have them: the prefix and four hex digits of the tick
    // count in 8 ms steps, the next free one when that is taken.
    const unsigned start = (GetTickCount() >> 3) & 0xFFFF;
    for (unsigned i = 0; i < 0x10000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%.4s%04X.log", crashreport.prefix, (start + i) & 0xFFFF);
        const std::string path = toposixpath(crashreport.reportsfolder) + name;
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            break;
        const bool written = writeall(fd, body);
        close(fd);
        if (written)
            return;
        unlink(path.c_str());
        break;
    }
    // No report could be filed: the title at least reaches the log.
    log(text);
}
