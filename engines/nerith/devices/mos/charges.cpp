#include "engines/nerith/devices/mos/charges.h"

namespace nerith::mos {

namespace {

// The saturation voltage Meyer's capacitances take at least, so that they stay finite at the edge
// of saturation.
constexpr double LeastSaturation = 0.025;

// The halves of gate-source and gate-drain capacitance below saturation, for `scale` times the
// oxide capacitance of the channel.
MeyerHalves unsaturated(double vds, double vdsat, double scale)
{
    const double twice = 2 * vdsat - vds;
    const double beyond = vdsat - vds;
    const double squared = twice * twice;
    return { scale * (1 - beyond * beyond / squared), scale * (1 - vdsat * vdsat / squared), 0 };
}

} // namespace

MeyerHalves meyer(double vgs, double vgd, double von, double vdsat, double phi, double cox)
{
    const double vgst = vgs - von;
    vdsat = std::max(vdsat, LeastSaturation);
    const double vds = vgs - vgd;
    if (vgst <= -phi)
        return { 0, 0, cox / 2 };
    if (vgst <= -phi / 2)
        return { 0, 0, -vgst * cox / (2 * phi) };
    if (vgst <= 0) {
        // Depletion: the channel's share grows linearly up to the threshold.
        const double gb = -vgst * cox / (2 * phi);
        const double gs = vgst * cox / (1.5 * phi) + cox / 3;
        if (vds >= vdsat)
            return { gs, 0, gb };
        MeyerHalves h = unsaturated(vds, vdsat, gs);
        h.gb = gb;
        return h;
    }
    if (vds >= vdsat)
        return { cox / 3, 0, 0 };
    return unsaturated(vds, vdsat, cox / 3);
}

} // namespace nerith::mos
