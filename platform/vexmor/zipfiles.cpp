#include "platform/vexmor/zipfiles.h"

#include <unistd.h>

#include <climits>

std::string zipstreamname(FILE* stream)
{
    if (!stream)
        return {};
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", ::fileno(stream));
    char path[PATH_MAX];
    const ssize_t length = ::readlink(link, path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}
