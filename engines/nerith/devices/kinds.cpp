#include "engines/nerith/device.h"

namespace nerith {

extern const DeviceKind resistorkind;
extern const DeviceKind vsourcekind;
extern const DeviceKind isourcekind;
extern const DeviceKind vcvskind;
extern const DeviceKind vccskind;
extern const DeviceKind capacitorkind;
extern const DeviceKind inductorkind;
extern const DeviceKind diodekind;
extern const DeviceKind bjtkind;

const std::vector<const DeviceKind*>& devicekinds()
{
    static const std::vector<const DeviceKind*> kinds { &resistorkind, &capacitorkind, &inductorkind,
        &vsourcekind, &isourcekind, &vcvskind, &vccskind, &diodekind, &bjtkind };
    return kinds;
}

} // namespace nerith
