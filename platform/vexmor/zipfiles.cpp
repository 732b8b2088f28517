#include "platform/vexmor/zipfiles.h"

#include <unistd.h>

#include <climits>

#include "platform/win/dostime.h"

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

uint32_t dosdatetime(time_t time)
{
    constexpr uint64_t ticksPerSecond = 10000000;
    constexpr uint64_t epochDifference = 11644473600; // seconds from 1601 to 1970
    if (time < 0)
        return 0;
    const uint64_t ticks = (static_cast<uint64_t>(time) + epochDifference) * ticksPerSecond;
    const FILETIME universal { static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32) };
    FILETIME local;
    WORD date, clock;
    if (!FileTimeToLocalFileTime(&universal, &local) || !FileTimeToDosDateTime(&local, &date, &clock))
        return 0;
    return uint32_t { date } << 16 | clock;
}
