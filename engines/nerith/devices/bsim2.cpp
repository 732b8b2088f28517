#include "engines/nerith/devices/bsim2.h"

#include <utility>

// The BSIM2 MOSFET as a device type: its model table (one row per parameter, the size-dependent
// ones with their length and width terms) and its equations on the BSIM levels' load.

namespace nerith::bsim2 {

namespace {

// Ids of the model's rows that are no binned parameter; a binned parameter k has BinnedIds + 3 k
// and the two after it.
// Ids of the model's own rows that are no binned parameter (after the shared ones); a binned
// parameter k has BinnedIds + 3 k and the two after it.
enum : int32_t { Mu0 = 50, Tox, Temp, Vdd, Vgg, Vbb, Xpart, BinnedIds = 1000 };

inline constexpr bsim::BinnedRow<3> binnedrows[BinnedCount] = {
    { { "vfb", "lvfb", "wvfb" }, "Flat band voltage", "V", -1 },
    { { "phi", "lphi", "wphi" }, "Strong inversion surface potential", "V", 0.75 },
    { { "k1", "lk1", "wk1" }, "Bulk effect coefficient 1", "V^0.5", 0.8 },
    { { "k2", "lk2", "wk2" }, "Bulk effect coefficient 2", "", 0 },
    { { "eta0", "leta0", "weta0" }, "VDS dependence of the threshold voltage at VDD = 0", "", 0 },
    { { "etab", "letab", "wetab" }, "VBS dependence of eta", "1/V", 0 },
    { { "mu0b", "lmu0b", "wmu0b" }, "VBS dependence of the low-field mobility", "cm2/V2s", 0 },
    { { "mus0", "lmus0", "wmus0" }, "Mobility at VDS = VDD and VBS = 0", "cm2/Vs", 500 },
    { { "musb", "lmusb", "wmusb" }, "VBS dependence of mus", "cm2/V2s", 0 },
    { { "mu20", "lmu20", "wmu20" }, "VDS dependence of mu in tanh", "", 1.5 },
    { { "mu2b", "lmu2b", "wmu2b" }, "VBS dependence of mu2", "1/V", 0 },
    { { "mu2g", "lmu2g", "wmu2g" }, "VGS dependence of mu2", "1/V", 0 },
    { { "mu30", "lmu30", "wmu30" }, "VDS dependence of mu in linear term", "cm2/V2s", 10 },
    { { "mu3b", "lmu3b", "wmu3b" }, "VBS dependence of mu3", "cm2/V3s", 0 },
    { { "mu3g", "lmu3g", "wmu3g" }, "VGS dependence of mu3", "cm2/V3s", 0 },
    { { "mu40", "lmu40", "wmu40" }, "VDS dependence of mu in quadratic term", "cm2/V3s", 0 },
    { { "mu4b", "lmu4b", "wmu4b" }, "VBS dependence of mu4", "cm2/V4s", 0 },
    { { "mu4g", "lmu4g", "wmu4g" }, "VGS dependence of mu4", "cm2/V4s", 0 },
    { { "ua0", "lua0", "wua0" }, "Linear VGS dependence of mobility", "1/V", 0.2 },
    { { "uab", "luab", "wuab" }, "VBS dependence of ua", "1/V2", 0 },
    { { "ub0", "lub0", "wub0" }, "Quadratic VGS dependence of mobility", "1/V2", 0 },
    { { "ubb", "lubb", "wubb" }, "VBS dependence of ub", "1/V3", 0 },
    { { "u10", "lu10", "wu10" }, "VDS dependence of mobility", "1/V", 0.1 },
    { { "u1b", "lu1b", "wu1b" }, "VBS dependence of u1", "1/V2", 0 },
    { { "u1d", "lu1d", "wu1d" }, "VDS dependence of u1", "1/V2", 0 },
    { { "n0", "ln0", "wn0" }, "Subthreshold slope at VDS = 0 and VBS = 0", "", 1.4 },
    { { "nb", "lnb", "wnb" }, "VBS dependence of n", "V^0.5", 0.5 },
    { { "nd", "lnd", "wnd" }, "VDS dependence of n", "1/V", 0 },
    { { "vof0", "lvof0", "wvof0" }, "Threshold offset at VDS = 0 and VBS = 0", "", 1.8 },
    { { "vofb", "lvofb", "wvofb" }, "VBS dependence of vof", "1/V", 0 },
    { { "vofd", "lvofd", "wvofd" }, "VDS dependence of vof", "1/V", 0 },
    { { "ai0", "lai0", "wai0" }, "Pre-factor of hot-electron effect", "", 0 },
    { { "aib", "laib", "waib" }, "VBS dependence of ai", "1/V", 0 },
    { { "bi0", "lbi0", "wbi0" }, "Exponential factor of hot-electron effect", "V", 0 },
    { { "bib", "lbib", "wbib" }, "VBS dependence of bi", "", 0 },
    { { "vghigh", "lvghigh", "wvghigh" }, "Upper bound of the cubic spline of the gate drive", "V", 0.2 },
    { { "vglow", "lvglow", "wvglow" }, "Lower bound of the cubic spline of the gate drive", "V", -0.15 },
};

inline constexpr Parameter<Model> ownrows[] = {
    field<&Model::mu0>("mu0", Mu0, "Low-field mobility at VDS = 0, VGS = VTH").in("cm2/Vs").initially(400),
    field<&Model::tox>("tox", Tox, "Gate oxide thickness").in("um").initially(0.03),
    field<&Model::temp>("temp", Temp, "Temperature the parameters were extracted at")
        .in("degC")
        .initially(27),
    field<&Model::vdd>("vdd", Vdd, "Maximum drain-source voltage").in("V").initially(5),
    field<&Model::vgg>("vgg", Vgg, "Maximum gate-source voltage").in("V").initially(5),
    field<&Model::vbb>("vbb", Vbb, "Maximum reverse bulk-source voltage").in("V").initially(-5),
    field<&Model::xpart>("xpart", Xpart, "Charge selector: above 1 the channel stores no charge"),
};
inline constexpr auto plainrows = bsim1::joinrows(ownrows, bsim1::outerrows<Model>());

struct Bsim2;
using Instance = bsim::Instance<Bsim2>;

// The BSIM2 equations on the BSIM levels' load, with BSIM1's junctions and overlaps.
struct Bsim2 : bsim1::OuterEquations {
    using Model = bsim2::Model;
    using Constants = bsim2::Constants;

    static constexpr auto modelparameters
        = bsim::binnedtable<Model, plainrows, binnedrows, bsim::noextrarows<Model>>(
            BinnedIds, std::make_index_sequence<BinnedCount> {});
    static constexpr auto instancetable() { return bsim1::instancetable<Bsim2>(); }

    static int prepare(IFcircuit& ckt, const Model& m, const Instance& f, Constants& c)
    {
        if (const char* wrong = bsim2::prepare(m, f.l, f.w, f.ad, f.as, f.pd, f.ps, f.nrd, f.nrs, c))
            return fail(E_BADDEVICE, "MOSFET %s: BSIM2 model %s has an unusable %s", f.name,
                m.name.c_str(), wrong);
        c.kelvin = devicekelvin(ckt, false, 0);
        return 0;
    }

    static Channel channel(const Model& m, const Constants& c, const Bias& v, bool charges)
    {
        return bsim2::channel(m, c, v, charges);
    }
};

} // namespace

} // namespace nerith::bsim2

namespace nerith {

extern const DeviceKind bsim2kind;
constexpr DeviceKind bsim2kind
    = devicekind<bsim::Device<bsim2::Bsim2>>("BSIM2", "Berkeley short-channel IGFET model, version 2", 4);

} // namespace nerith
