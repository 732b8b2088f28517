#include "platform/ombrel/dirsearch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

#include "core/text/ascii.h"

int dirsearchmatch(const char* pattern, const char* name)
{
    // Iterative matching with one backtrack point: the latest '*' retries one character further.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
            continue;
        }
        if (*pattern && (*pattern == '?' || asciilower(*pattern) == asciilower(*name))) {
            ++pattern;
            ++name;
            continue;
        }
        if (!star)
            return 0;
        pattern = star + 1;
        name = ++resume;
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0' ? 1 : 0;
}

int DIRSEARCH::findfirst(const char* folder, const char* pattern)
{
    entries.clear();
    current = 0;
    if (!folder || !pattern || std::strlen(folder) > maxpath || std::strlen(pattern) > maxpath)
        return 0;
    if (std::strchr(pattern, '/') || std::strchr(pattern, '\\'))
        return 0;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(*folder ? folder : "."), closedir);
    if (!dir)
        return 0;
    const int fd = dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* item = readdir(dir.get());
        if (!item) {
            if (errno != 0) {
                entries.clear();
                return 0;
            }
            break;
        }
        if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
            continue;
        if (!dirsearchmatch(pattern, item->d_name))
            continue;
        struct stat st;
        // An entry removed between the listing and this look is simply not found.
        if (fstatat(fd, item->d_name, &st, 0) != 0)
            continue;
        const int64_t time = int64_t { st.st_mtim.tv_sec } * 1000000000 + st.st_mtim.tv_nsec;
        entries.push_back({ item->d_name, time, static_cast<int64_t>(st.st_size), S_ISDIR(st.st_mode) });
    }
    return entries.empty() ? 0 : 1;
}

int DIRSEARCH::findnext()
{
    if (current + 1 >= entries.size()) {
        current = entries.size();
        return 0;
    }
    ++current;
    return 1;
}

int DIRSEARCH::sortbytime()
{
    std::stable_sort(
        entries.begin(), entries.end(), [](const ENTRY& a, const ENTRY& b) { return a.time < b.time; });
    current = 0;
    return entries.empty() ? 0 : 1;
}
