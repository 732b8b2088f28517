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
extern const DeviceKind jfetkind;
extern const DeviceKind meskind;
extern const DeviceKind objitfkind;
extern const DeviceKind cccskind;
extern const DeviceKind ccvskind;
extern const DeviceKind mutualkind;
extern const DeviceKind switchkind;
extern const DeviceKind cswitchkind;
extern const DeviceKind asrckind;
extern const DeviceKind tranlinekind;
extern const DeviceKind urckind;
extern const DeviceKind mos1kind;
extern const DeviceKind mos2kind;
extern const DeviceKind mos3kind;
extern const DeviceKind mos6kind;

const std::vector<const DeviceKind*>& devicekinds()
{
    static const std::vector<const DeviceKind*> kinds { &resistorkind, &capacitorkind, &inductorkind,
        &vsourcekind, &isourcekind, &vcvskind, &vccskind, &diodekind, &bjtkind, &jfetkind, &meskind,
        &objitfkind, &cccskind, &ccvskind, &mutualkind, &switchkind, &cswitchkind, &asrckind, &mos1kind, &mos2kind,
        &mos3kind, &mos6kind, &tranlinekind, &urckind };
    return kinds;
}

} // namespace nerith
