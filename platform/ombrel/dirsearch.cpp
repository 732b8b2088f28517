#include "platform/ombrel/dirsearch.h"

#include <algorithm>
#include <cstring>

#include "platform/win/files.h"

int DIRSEARCH::findfirst(const char* folder, const char* pattern)
{
    entries.clear();
    current = 0;
    if (!folder || !pattern || std::strlen(folder) > maxpath || std::strlen(pattern) > maxpath)
        return 0;
    if (std::strpbrk(pattern, "/\\:"))
        return 0;
    std::string full = folder;
    if (!full.empty() && full.back() != '\\' && full.back() != '/' && full.back() != ':')
        full += '\\';
    full += pattern;
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA(full.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0)
            continue;
        const uint64_t time
            = (uint64_t { data.ftLastWriteTime.dwHighDateTime } << 32) | data.ftLastWriteTime.dwLowDateTime;
        const int64_t size = (int64_t { data.nFileSizeHigh } << 32) | data.nFileSizeLow;
        entries.push_back(
            { data.cFileName, time, size, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 });
    } while (FindNextFileA(find, &data));
    FindClose(find);
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
