#include "platform/win/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/handles.h"
#include "platform/win/pathboundary.h"
#include "platform/win/textcase.h"
#include "platform/win/winerror.h"

namespace {

bool wildmatch(const char* pattern, const char* name)
{
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && win::foldascii(*pattern) == win::foldascii(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return !*pattern;
}

// A trailing ".*" also accepts names without a point, so "*.*" lists every entry.
bool namematches(const std::string& pattern, const char* name)
{
    if (wildmatch(pattern.c_str(), name))
        return true;
    size_t n = pattern.size();
    return n >= 2 && pattern.compare(n - 2, 2, ".*") == 0
        && wildmatch(pattern.substr(0, n - 2).c_str(), name);
}

FILETIME filetime(const timespec& t)
{
    constexpr uint64_t epochDifference = 116444736000000000ull; // 1601 to 1970 in 100 ns steps
    uint64_t ticks = static_cast<uint64_t>(t.tv_sec) * 10000000ull + static_cast<uint64_t>(t.tv_nsec) / 100
        + epochDifference;
    return { static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32) };
}

bool describe(const std::string& path, const char* name, WIN32_FIND_DATAA* data)
{
    struct stat info;
    if (strlen(name) >= sizeof data->cFileName || lstat(path.c_str(), &info) != 0)
        return false;
    memset(data, 0, sizeof *data);
    if (S_ISDIR(info.st_mode))
        data->dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (S_ISLNK(info.st_mode))
        data->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (!(info.st_mode & S_IWUSR))
        data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    if (!data->dwFileAttributes)
        data->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    data->ftCreationTime = filetime(info.st_ctim);
    data->ftLastAccessTime = filetime(info.st_atim);
    data->ftLastWriteTime = filetime(info.st_mtim);
    uint64_t size = S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
    strcpy(data->cFileName, name);
    return true;
}

struct FindSearch : KernelObject {
    FindSearch(DIR* listing, std::string at, std::string match)
        : dir(listing)
        , folder(std::move(at))
        , pattern(std::move(match))
    {
    }
    ~FindSearch() override
    {
        if (dir)
            closedir(dir);
    }
    DIR* dir; // null for a pattern without wildcards, which names one entry
    std::string folder;
    std::string pattern;
};

FindSearch* findsearch(HANDLE find)
{
    return dynamic_cast<FindSearch*>(KernelObject::fromhandle(find));
}

bool findnext(FindSearch* search, WIN32_FIND_DATAA* data)
{
    if (!search->dir)
        return false;
    while (dirent* entry = readdir(search->dir)) {
        if (namematches(search->pattern, entry->d_name)
            && describe(search->folder + '/' + entry->d_name, entry->d_name, data))
            return true;
    }
    return false;
}

} // namespace

int _access(const char* path, int mode)
{
    std::string found = findexistingpath(path);
    if (found.empty())
        return -1;
    int how = (mode & 2 ? W_OK : 0) | (mode & 4 ? R_OK : 0);
    return access(found.c_str(), how ? how : F_OK) == 0 ? 0 : -1;
}

int _mkdir(const char* path)
{
    std::string target = pathforwriting(path);
    return !target.empty() && mkdir(target.c_str(), 0777) == 0 ? 0 : -1;
}

int _rmdir(const char* path)
{
    std::string found = findexistingpath(path);
    return !found.empty() && rmdir(found.c_str()) == 0 ? 0 : -1;
}

int _unlink(const char* path)
{
    std::string found = findexistingpath(path);
    return !found.empty() && unlink(found.c_str()) == 0 ? 0 : -1;
}

BOOL MoveFileA(const char* existing, const char* newname)
{
    std::string from = findexistingpath(existing);
    if (from.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (!findexistingpath(newname).empty()) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    std::string to = pathforwriting(newname);
    if (to.empty() || rename(from.c_str(), to.c_str()) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

FILE* fopenpath(const char* path, const char* mode)
{
    if (!path || !mode)
        return nullptr;
    std::string target = mode[0] == 'r' ? findexistingpath(path) : pathforwriting(path);
    if (target.empty())
        return nullptr;
    std::string posixmode;
    for (const char* m = mode; *m; ++m)
        if (*m != 't')
            posixmode += *m;
    FILE* file = fopen(target.c_str(), posixmode.c_str());
    struct stat info;
    if (file && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        fclose(file);
        errno = EISDIR;
        return nullptr;
    }
    return file;
}

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data)
{
    std::string posix = toposixpath(pattern);
    size_t slash = posix.rfind('/');
    std::string last = slash == std::string::npos ? posix : posix.substr(slash + 1);
    std::string folderpart = slash == std::string::npos ? "" : slash == 0 ? "/" : posix.substr(0, slash);
    if (last.empty())
        return INVALID_HANDLE_VALUE;

    if (last.find_first_of("*?") == std::string::npos) {
        std::string found = findexistingpath(pattern);
        size_t cut = found.rfind('/');
        std::string name = cut == std::string::npos ? found : found.substr(cut + 1);
        if (found.empty() || !describe(found, name.c_str(), data))
            return INVALID_HANDLE_VALUE;
        return (new FindSearch(nullptr, {}, {}))->handle();
    }

    std::string folder = folderpart.empty() ? "." : towindowspath(folderpart);
    std::string found = findexistingpath(folder.c_str());
    if (found.empty())
        return INVALID_HANDLE_VALUE;
    auto* search = new FindSearch(opendir(found.c_str()), found, last);
    if (!search->dir || !findnext(search, data)) {
        delete search;
        return INVALID_HANDLE_VALUE;
    }
    return search->handle();
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data)
{
    FindSearch* search = findsearch(find);
    return search && findnext(search, data) ? TRUE : FALSE;
}

BOOL FindClose(HANDLE find)
{
    FindSearch* search = findsearch(find);
    if (!search) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete search;
    return TRUE;
}

DWORD GetFullPathNameA(const char* name, DWORD size, char* buffer, char** filepart)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string text(name);
    for (char& c : text)
        if (c == '/')
            c = '\\';

    std::string drive;
    if (text.size() >= 2 && text[1] == ':' && ((text[0] | 0x20) >= 'a' && (text[0] | 0x20) <= 'z')) {
        drive = text.substr(0, 2);
        text.erase(0, 2);
    }
    bool network = drive.empty() && text.compare(0, 2, "\\\\") == 0;
    if (!network && (text.empty() || text[0] != '\\')) {
        std::vector<char> cwd(4096);
        if (!getcwd(cwd.data(), cwd.size())) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return 0;
        }
        text = towindowspath(cwd.data()) + "\\" + text;
    }

    std::vector<std::string> levels;
    for (size_t pos = 0; pos <= text.size();) {
        size_t end = text.find('\\', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string level = text.substr(pos, end - pos);
        pos = end + 1;
        if (level.empty() || level == ".")
            continue;
        if (level == "..") {
            if (!levels.empty())
                levels.pop_back();
            continue;
        }
        levels.push_back(level);
    }
    bool trailing = !text.empty() && text.back() == '\\' && !levels.empty();

    std::string full = drive + (network ? "\\\\" : "\\");
    for (size_t i = 0; i < levels.size(); ++i)
        full += (i ? "\\" : "") + levels[i];
    if (trailing)
        full += '\\';

    if (full.size() + 1 > size)
        return static_cast<DWORD>(full.size() + 1);
    memcpy(buffer, full.c_str(), full.size() + 1);
    if (filepart) {
        size_t cut = full.rfind('\\');
        *filepart
            = trailing || cut == std::string::npos || cut + 1 == full.size() ? nullptr : buffer + cut + 1;
    }
    return static_cast<DWORD>(full.size());
}
