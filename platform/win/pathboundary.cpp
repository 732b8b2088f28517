#include "platform/win/pathboundary.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/win/textcase.h"

namespace {

bool exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string join(const std::string& folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    if (folder.back() == '/')
        return folder + std::string(name);
    return folder + '/' + std::string(name);
}

// The entries of folder whose names equal name without regard to case, in byte order.
std::vector<std::string> matchesincase(const std::string& folder, std::string_view name)
{
    std::vector<std::string> found;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return found;
    while (dirent* entry = readdir(dir)) {
        if (win::equalnocase(entry->d_name, name))
            found.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string_view> splitlevels(const std::string& path)
{
    std::vector<std::string_view> levels;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos)
            end = path.size();
        if (end > pos)
            levels.emplace_back(path.data() + pos, end - pos);
        pos = end + 1;
    }
    return levels;
}

// Finds the levels from index on below folder: the exact name first, then every name that matches
// in case, so that "same\ONE" is found in "Same" when "SAME" lacks it.
bool walkexisting(
    const std::string& folder, const std::vector<std::string_view>& levels, size_t index, std::string& found)
{
    if (index == levels.size()) {
        found = folder;
        return true;
    }
    std::string_view level = levels[index];
    std::string exact = join(folder, level);
    if ((level == "." || level == ".." || exists(exact)) && walkexisting(exact, levels, index + 1, found))
        return true;
    if (level == "." || level == "..")
        return false;
    for (const auto& match : matchesincase(folder, level))
        if (match != level && walkexisting(join(folder, match), levels, index + 1, found))
            return true;
    return false;
}

std::string rootof(const std::string& path)
{
    return !path.empty() && path[0] == '/' ? "/" : "";
}

} // namespace

std::string toposixpath(const char* path)
{
    if (!path)
        return {};
    if (((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':') {
        path += 2;
        if (!*path)
            return ".";
    }
    std::string result(path);
    for (char& c : result)
        if (c == '\\')
            c = '/';
    return result;
}

std::string towindowspath(const std::string& path)
{
    std::string result(path);
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::string findexistingpath(const char* path)
{
    std::string posix = toposixpath(path);
    if (posix.empty() || exists(posix))
        return posix;
    std::string found;
    return walkexisting(rootof(posix), splitlevels(posix), 0, found) ? found : std::string();
}

std::string pathforwriting(const char* path)
{
    std::string posix = toposixpath(path);
    if (posix.empty() || exists(posix))
        return posix;
    std::string result = rootof(posix);
    auto levels = splitlevels(posix);
    for (size_t i = 0; i < levels.size(); ++i) {
        std::string exact = join(result, levels[i]);
        if (levels[i] == "." || levels[i] == ".." || exists(exact)) {
            result = exact;
            continue;
        }
        auto matches = matchesincase(result, levels[i]);
        if (matches.empty()) {
            for (; i < levels.size(); ++i)
                result = join(result, levels[i]);
            return result;
        }
        result = join(result, matches.front());
    }
    return result;
}
