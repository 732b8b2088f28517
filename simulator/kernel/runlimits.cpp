#include "simulator/kernel/runlimits.h"

#include "core/windows/registry.h"

namespace {

constexpr DWORD DEFAULTRESULTSLIMIT = 10000;
constexpr DWORD DEFAULTSTALLLIMIT = 60;

// The number value of the main program's settings, else the default.
DWORD setting(const char* value, DWORD fallback)
{
    REGISTRY32 settings(REGISTRY_USERTHENMACHINE, MAINSETTINGSKEY);
    REGISTRY& reader = settings;
    DWORD number = 0;
    if (reader.getdata(nullptr, value, REG_DWORD, &number, sizeof number, nullptr, 0) != sizeof number)
        return fallback;
    return number;
}

} // namespace

int64_t resultslimit()
{
    return int64_t { setting(RESULTSLIMITVALUE, DEFAULTRESULTSLIMIT) } * 1024;
}

uint32_t stalllimit()
{
    return setting(STALLLIMITVALUE, DEFAULTSTALLLIMIT);
}
