#include "platform/hulvane/results/resultsname.h"

#include "core/files/paths.h"
#include "core/text/ascii.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

bool separator(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

bool staysinside(const char* name)
{
    if (!*name || separator(*name) || std::strchr(name, ':'))
        return false;
    const char* level = name;
    for (const char* p = name;; ++p) {
        if (*p && !separator(*p))
            continue;
        if (p - level == 2 && level[0] == '.' && level[1] == '.')
            return false;
        if (!*p)
            return p > level;
        level = p + 1;
    }
}

std::string resultsfilepath(const char* name)
{
    if (!name || !staysinside(name))
        return {};
    const char* folder = std::getenv("RESULTS");
    folder = folder ? folder : "";
    // The folder comes from the environment and may be of any length: join in a buffer that
    // holds it, then refuse what a path field cannot hold whole.
    std::vector<char> joined(std::strlen(folder) + std::strlen(name) + sizeof ".PDF" + 1);
    if (!*addfilename(joined.data(), folder, name))
        return {};
    if (asciicasecmp(dotext(filename(joined.data())), ".PDF") != 0)
        std::strcat(joined.data(), ".PDF");
    std::string path(joined.data());
    return path.size() < PATHBUFFER ? path : std::string();
}
