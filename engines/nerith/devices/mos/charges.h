#pragma once

#include "engines/nerith/devices/junction.h"
#include "engines/nerith/devices/mos/process.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// The bulk junctions and the gate capacitances of the MOSFET levels 1, 2, 3 and 6.

namespace nerith::mos {

// The largest exponent a junction's exponential takes, below the overflow of a double.
inline constexpr double MaxExponent = 709;

// A junction's current and conductance, GMIN included.
struct JunctionCurrent {
    double i = 0;
    double g = 0;
};

// The bulk diode at `v` (often exactly 0, the bulk being tied to the source): exponential above
// -3 kT/q; below, the saturation current with GMIN
// (`cubic`: tending to it along a cubic that joins the exponential, as level 3 does).
inline JunctionCurrent bulkcurrent(double v, double isat, double vt, double gmin, bool cubic)
{
    if (v == 0)
        return { 0, isat / vt + gmin };
    if (v > -3 * vt) {
        const double e = std::exp(std::min(v / vt, MaxExponent));
        return { isat * (e - 1) + gmin * v, isat * e / vt + gmin };
    }
    if (!cubic)
        return { gmin * v - isat, gmin };
    const double a = 3 * vt / (v * std::numbers::e);
    const double cube = a * a * a;
    return { -isat * (1 + cube) + gmin * v, isat * 3 * cube / v + gmin };
}

// The depletion charge and capacitance of a bulk junction at `v` (often exactly 0, the bulk being
// tied to the source).
inline Depletion bulkdepletion(double v, const BulkJunction& j, const BulkGrading& g)
{
    if (v == 0 || (j.bottom == 0 && j.sidewall == 0))
        return { 0, j.bottom + j.sidewall };
    if (v >= g.corner)
        return { j.f4 + v * (j.f2 + 0.5 * v * j.f3), j.f2 + j.f3 * v };
    const double arg = 1 - v / g.potential;
    // Square roots for the usual grading of one half, which is much faster than a power.
    const double sarg = g.mj == 0.5 ? 1 / std::sqrt(arg) : std::exp(-g.mj * std::log(arg));
    const double sargsw = g.mjsw == g.mj ? sarg
        : g.mjsw == 0.5                  ? 1 / std::sqrt(arg)
                                         : std::exp(-g.mjsw * std::log(arg));
    return { j.bottom * g.bottomcharge * (1 - arg * sarg) + j.sidewall * g.sidecharge * (1 - arg * sargsw),
        j.bottom * sarg + j.sidewall * sargsw };
}

// Half of each intrinsic gate capacitance of Meyer's model (gate to source, drain and bulk) at the
// bias of normal operation (vgs - vgd >= 0), for the turn-on voltage `von`, the saturation voltage
// `vdsat`, the surface potential `phi` and the gate oxide capacitance `cox`. The charges are
// integrated with the mean of the halves of two points, plus the overlap capacitances.
struct MeyerHalves {
    double gs = 0;
    double gd = 0;
    double gb = 0;
};
MeyerHalves meyer(double vgs, double vgd, double von, double vdsat, double phi, double cox);

} // namespace nerith::mos
