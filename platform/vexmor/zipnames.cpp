#include "platform/vexmor/zipnames.h"

#include <cctype>
#include <cstring>

namespace {

bool isseparator(char c)
{
    return c == '/' || c == '\\';
}

bool climbs(const char* name)
{
    for (const char* level = name; *level;) {
        size_t length = std::strcspn(level, "/\\");
        if (length == 2 && level[0] == '.' && level[1] == '.')
            return true;
        level += length;
        if (*level)
            ++level;
    }
    return false;
}

} // namespace

std::string zipnamefault(const char* name)
{
    if (!name || !*name)
        return "A file in the archive has no name.";
    const std::string quoted = std::string("The file '") + name + "'";
    if (isseparator(name[0]) || (std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':'))
        return quoted + " has an absolute name.";
    if (climbs(name))
        return quoted + " climbs out of the archive with a \"..\" level.";
    return {};
}
