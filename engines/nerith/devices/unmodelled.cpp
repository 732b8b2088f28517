#include "engines/nerith/devices/family.h"
#include "engines/nerith/report.h"

namespace nerith {

int unmodelled(const IFinstance& device, const char* what)
{
    return fail(E_BADDEVICE, "%s: devices of type %s have no %s model", device.name,
        devicekinds()[static_cast<std::size_t>(device.type)]->description.name, what);
}

} // namespace nerith
