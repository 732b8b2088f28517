#include "engines/nerith/devices/mos/mosfet.h"

#include <algorithm>
#include <cmath>

namespace nerith::mos {

DrainCurrent level6current(const Model& m, const Scaled& at, double vgs, double vds, double vbs)
{
    DrainCurrent c;
    double root;
    if (vbs <= 0) {
        root = std::sqrt(at.phi - vbs);
    } else {
        root = std::sqrt(at.phi);
        root = std::max(0.0, root - vbs / (root + root));
    }
    c.von = at.vbi + at.gamma * root - m.gamma1 * vbs - m.sigma * vds;
    const double vgon = vgs - c.von;
    if (vgon <= 0)
        return c;
    // The threshold's slope against the bulk voltage.
    double body = 0;
    if (root > 0)
        body = m.gamma1 + (vbs <= 0 ? at.gamma / (root + root) : at.gamma / (2 * std::sqrt(at.phi)));
    const double logvgon = std::log(vgon);
    c.vdsat = m.kv * std::exp(logvgon * m.nv);
    const double idsat = at.beta * std::exp(logvgon * m.nc);
    const double lambda0 = m.lambda0given ? m.lambda0 : m.lambda;
    const double lambda = lambda0 - m.lambda1 * vbs;
    double cdrain = idsat * (1 + lambda * vds);
    double gm = cdrain * m.nc / vgon;
    double gds = gm * m.sigma + idsat * lambda;
    double gmbs = gm * body - idsat * m.lambda1 * vds;
    if (c.vdsat > vds) {
        // Below saturation the current follows (2 - x) x of x = vds / vdsat.
        const double x = vds / c.vdsat;
        const double shape = (2 - x) * x;
        const double dxdvg = -x * m.nv / vgon;
        const double slope = cdrain * (2 - x - x);
        cdrain *= shape;
        gm = gm * shape + slope * dxdvg;
        gds = gds * shape + slope * (1 / c.vdsat + dxdvg * m.sigma);
        gmbs = gmbs * shape + slope * dxdvg * body;
    }
    c.cdrain = cdrain;
    c.gm = gm;
    c.gds = gds;
    c.gmbs = gmbs;
    return c;
}

namespace {

struct Level6 {
    static constexpr bool CubicReverse = false;

    static constexpr auto modelparameters = parametertable<Model>(
        {
            lambdarow(),
            toxrow(0),
            mjswrow(0.5),
            field<&Model::kv>("kv", Kv, "Saturation voltage factor").in("V").initially(2),
            field<&Model::nv>("nv", Nv, "Saturation voltage coefficient").initially(0.5),
            field<&Model::kc, &Model::kcgiven>("kc", Kc, "Saturation current factor")
                .in("A/V^nc")
                .initially(5e-5),
            field<&Model::nc>("nc", Nc, "Saturation current coefficient").initially(1),
            field<&Model::gamma1>("gamma1", Gamma1, "Bulk threshold parameter 1"),
            field<&Model::sigma>("sigma", Sigma, "Static feedback effect parameter"),
            field<&Model::lambda0, &Model::lambda0given>("lambda0", Lambda0, "Channel length modulation 0")
                .in("1/V"),
            field<&Model::lambda1>("lambda1", Lambda1, "Channel length modulation 1").in("1/V2"),
        },
        sharedrows);

    static const char* prepare(const Model& m, double nominal, Process& p)
    {
        auto bad = [](double v) { return !std::isfinite(v); };
        if (bad(m.kv) || bad(m.nv) || bad(m.kc) || m.kc < 0 || bad(m.nc) || bad(m.gamma1) || bad(m.sigma)
            || bad(m.lambda0) || bad(m.lambda1))
            return "level 6 parameter KV, NV, KC, NC, GAMMA1, SIGMA, LAMBDA0 or LAMBDA1";
        if (const char* problem = fromdoping(m, nominal, IntrinsicDensity, p))
            return problem;
        // The saturation current factor takes the place of KP: from U0 and TOX unless given.
        p.kp = !m.kcgiven && p.coxarea > 0 ? 0.5 * m.u0 * 1e-4 * p.coxarea : m.kc;
        return nullptr;
    }

    static constexpr CurrentFunction current = level6current;
};

} // namespace

} // namespace nerith::mos

namespace nerith {

extern const DeviceKind mos6kind;
constexpr DeviceKind mos6kind
    = devicekind<mos::Mosfet<mos::Level6>>("MOS6", "Level 6 MOSFET with Meyer capacitances", 4);

} // namespace nerith
