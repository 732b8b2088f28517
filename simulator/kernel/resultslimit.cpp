#include "simulator/kernel/resultslimit.h"

#include "core/windows/registry.h"

namespace {

constexpr DWORD DEFAULTLIMIT = 10000;

} // namespace

int64_t resultslimit()
{
    REGISTRY32 settings(REGISTRY_USERTHENMACHINE, MAINSETTINGSKEY);
    REGISTRY& reader = settings;
    DWORD kilobytes = 0;
    if (reader.getdata(nullptr, RESULTSLIMITVALUE, REG_DWORD, &kilobytes, sizeof kilobytes, nullptr, 0)
        != sizeof kilobytes)
        kilobytes = DEFAULTLIMIT;
    return int64_t { kilobytes } * 1024;
}
