#include "engines/nerith/devices/bsim1.h"

#include <algorithm>
#include <cmath>
#include <utility>

// The BSIM1 MOSFET as a device type: its model table (one row per parameter, the size-dependent
// ones with their length and width terms), its equations on the BSIM levels' load and its noise.

namespace nerith::bsim1 {

namespace {

// Ids of the model's rows that are no binned parameter; a binned parameter k has BinnedIds + 3 k
// and the two after it.
// Ids of the model's own rows that are no binned parameter (after the shared ones); a binned
// parameter k has BinnedIds + 3 k and the two after it.
enum : int32_t { Muz = 50, Tox, Temp, Vdd, Xpart, BinnedIds = 1000 };

inline constexpr bsim::BinnedRow<3> binnedrows[BinnedCount] = {
    { { "vfb", "lvfb", "wvfb" }, "Flat band voltage", "V" },
    { { "phi", "lphi", "wphi" }, "Strong inversion surface potential", "V" },
    { { "k1", "lk1", "wk1" }, "Bulk effect coefficient 1", "V^0.5" },
    { { "k2", "lk2", "wk2" }, "Bulk effect coefficient 2", "" },
    { { "eta", "leta", "weta" }, "VDS dependence of the threshold voltage", "" },
    { { "x2e", "lx2e", "wx2e" }, "VBS dependence of eta", "1/V" },
    { { "x3e", "lx3e", "wx3e" }, "VDS dependence of eta", "1/V" },
    { { "x2mz", "lx2mz", "wx2mz" }, "VBS dependence of muz", "cm2/V2s" },
    { { "mus", "lmus", "wmus" }, "Mobility at VDS = VDD and VGS = VTH", "cm2/Vs" },
    { { "x2ms", "lx2ms", "wx2ms" }, "VBS dependence of mus", "cm2/V2s" },
    { { "x3ms", "lx3ms", "wx3ms" }, "VDS dependence of mus", "cm2/V2s" },
    { { "u0", "lu0", "wu0" }, "VGS dependence of mobility", "1/V" },
    { { "x2u0", "lx2u0", "wx2u0" }, "VBS dependence of u0", "1/V2" },
    { { "u1", "lu1", "wu1" }, "VDS dependence of mobility, velocity saturation", "um/V" },
    { { "x2u1", "lx2u1", "wx2u1" }, "VBS dependence of u1", "um/V2" },
    { { "x3u1", "lx3u1", "wx3u1" }, "VDS dependence of u1", "um/V2" },
    { { "n0", "ln0", "wn0" }, "Subthreshold slope", "" },
    { { "nb", "lnb", "wnb" }, "VBS dependence of the subthreshold slope", "1/V" },
    { { "nd", "lnd", "wnd" }, "VDS dependence of the subthreshold slope", "1/V" },
};

inline constexpr Parameter<Model> ownrows[] = {
    field<&Model::muz>("muz", Muz, "Zero field mobility at VDS = 0 and VGS = VTH").in("cm2/Vs"),
    field<&Model::tox>("tox", Tox, "Gate oxide thickness").in("um"),
    field<&Model::temp>("temp", Temp, "Temperature the parameters were extracted at").in("degC"),
    field<&Model::vdd>("vdd", Vdd, "Supply voltage the mobility mus is given at").in("V"),
    field<&Model::xpart>("xpart", Xpart, "Channel charge partition 0/100 (else 40/60)"),
};
inline constexpr auto plainrows = joinrows(ownrows, outerrows<Model>());

struct Bsim1;
using Load = bsim::Load<Bsim1>;
using Instance = bsim::Instance<Bsim1>;

// The BSIM1 equations on the BSIM levels' load.
struct Bsim1 : OuterEquations {
    using Model = bsim1::Model;
    using Constants = bsim1::Constants;

    static constexpr auto modelparameters
        = bsim::binnedtable<Model, plainrows, binnedrows, bsim::noextrarows<Model>>(
            BinnedIds, std::make_index_sequence<BinnedCount> {});

    static constexpr auto instancetable() { return bsim1::instancetable<Bsim1>(); }

    static int prepare(IFcircuit& ckt, const Model& m, const Instance& f, Constants& c)
    {
        if (const char* wrong = bsim1::prepare(m, f.l, f.w, f.ad, f.as, f.pd, f.ps, f.nrd, f.nrs, c))
            return fail(E_BADDEVICE, "MOSFET %s: BSIM1 model %s has an unusable %s", f.name,
                m.name.c_str(), wrong);
        c.kelvin = devicekelvin(ckt, false, 0);
        return 0;
    }

    static Channel channel(const Model& m, const Constants& c, const Bias& v, bool charges)
    {
        return bsim1::channel(m, c, v, charges);
    }
};

} // namespace

} // namespace nerith::bsim1

namespace nerith {

extern const DeviceKind bsim1kind;
constexpr DeviceKind bsim1kind
    = devicekind<bsim::Device<bsim1::Bsim1>>("BSIM1", "Berkeley short-channel IGFET model, version 1", 4);

} // namespace nerith
