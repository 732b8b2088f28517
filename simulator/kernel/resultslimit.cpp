#include "simulator/kernel/resultslimit.h"

#include "core/windows/registry.h"

namespace {

// The main program keeps its settings here; the simulator only reads them.
constexpr const char* SETTINGSKEY = "Software\\Venthorne Electronics\\Corvane 8 Professional\\CORE";
constexpr const char* LIMITVALUE = "Results Limit";
constexpr DWORD DEFAULTLIMIT = 10000;

} // namespace

int64_t resultslimit()
{
    REGISTRY32 settings(REGISTRY_USERTHENMACHINE, SETTINGSKEY);
    REGISTRY& reader = settings;
    DWORD kilobytes = 0;
    if (reader.getdata(nullptr, LIMITVALUE, REG_DWORD, &kilobytes, sizeof kilobytes, nullptr, 0)
        != sizeof kilobytes)
        kilobytes = DEFAULTLIMIT;
    return int64_t { kilobytes } * 1024;
}
