#include "core/files/folders.h"

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/files.h"

namespace {

// The folder joined with a name: unlike addfilename, a ';' in the folder is part of its name, so
// that emptying "a;b" never empties "a".
std::string join(const std::string& folder, const char* name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == ':')
        return folder + name;
    return folder + '\\' + name;
}

} // namespace

int mkpath(const char* path)
{
    std::string text(path);
    size_t start = text.size() >= 2 && text[1] == ':' ? 2 : 0;
    while (start < text.size() && text[start] == '\\')
        ++start;
    std::vector<size_t> ends;
    for (size_t pos = start; pos < text.size();) {
        size_t end = std::min(text.find('\\', pos), text.size());
        if (end > pos)
            ends.push_back(end);
        pos = end + 1;
    }
    if (ends.empty())
        return _mkdir(text.c_str()) == 0 ? 0 : -1;
    int result = -1;
    for (size_t end : ends)
        result = _mkdir(text.substr(0, end).c_str());
    return result;
}

int rmpath(const char* path, int subfolders)
{
    std::string folder(path);
    if (folder.empty())
        return 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(join(folder, "*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int result = 0;
    bool keptfolder = false;
    do {
        if (strcmp(entry.cFileName, ".") == 0 || strcmp(entry.cFileName, "..") == 0)
            continue;
        std::string full = join(folder, entry.cFileName);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!subfolders) {
                keptfolder = true;
                continue;
            }
            result = rmpath(full.c_str(), 1);
            if (result == 0)
                result = _rmdir(full.c_str());
        } else {
            result = _unlink(full.c_str());
        }
    } while (result == 0 && FindNextFileA(find, &entry));
    FindClose(find);
    return keptfolder ? -1 : result;
}
