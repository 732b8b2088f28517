#include "engines/nerith/devices/mos/mosfet.h"

#include <algorithm>
#include <cmath>

namespace nerith::mos {

DrainCurrent level1current(const Model& m, const Scaled& at, double vgs, double vds, double vbs)
{
    DrainCurrent c;
    // The square root of the surface potential under the channel, continued along its tangent into
    // forward bulk bias, and the threshold's slope against vbs.
    double root;
    double body;
    if (vbs <= 0) {
        root = std::sqrt(at.phi - vbs);
        body = at.gamma / (root + root);
    } else {
        const double rootphi = std::sqrt(at.phi);
        root = std::max(0.0, rootphi - vbs / (rootphi + rootphi));
        body = root > 0 ? at.gamma / (rootphi + rootphi) : 0;
    }
    c.von = at.vbi + at.gamma * root;
    const double vgst = vgs - c.von;
    c.vdsat = std::max(vgst, 0.0);
    if (vgst <= 0)
        return c;
    const double betap = at.beta * (1 + m.lambda * vds);
    if (vgst <= vds) {
        c.cdrain = 0.5 * betap * vgst * vgst;
        c.gm = betap * vgst;
        c.gds = 0.5 * m.lambda * at.beta * vgst * vgst;
    } else {
        c.cdrain = betap * vds * (vgst - 0.5 * vds);
        c.gm = betap * vds;
        c.gds = betap * (vgst - vds) + m.lambda * at.beta * vds * (vgst - 0.5 * vds);
    }
    c.gmbs = c.gm * body;
    return c;
}

namespace {

struct Level1 {
    static constexpr bool CubicReverse = false;

    static constexpr auto modelparameters
        = parametertable<Model>({ kprow(), lambdarow(), toxrow(0), mjswrow(0.5) }, sharedrows);

    static const char* prepare(const Model& m, double nominal, Process& p)
    {
        return fromdoping(m, nominal, IntrinsicDensity, p);
    }

    static constexpr CurrentFunction current = level1current;
};

} // namespace

} // namespace nerith::mos

namespace nerith {

extern const DeviceKind mos1kind;
constexpr DeviceKind mos1kind
    = devicekind<mos::Mosfet<mos::Level1>>("MOS1", "Level 1 MOSFET with Meyer capacitances", 4);

} // namespace nerith
