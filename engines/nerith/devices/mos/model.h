#pragma once

#include "engines/nerith/device.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/parameters.h"

#include <array>
#include <cstdint>

// The model of the MOSFET levels 1, 2, 3 and 6: one record holds the parameters of every level
// (each level's table names its own), and the rows the levels share with the same defaults.

namespace nerith::mos {

struct Model : IFmodel {
    int32_t polarity = 1; // +1 N channel, -1 P channel
    // Threshold and channel.
    double vto = 0, kp = 0, gamma = 0, phi = 0, lambda = 0, tox = 0, u0 = 0, nsub = 0, nss = 0, ld = 0;
    int32_t tpg = 0;
    bool vtogiven = false, kpgiven = false, gammagiven = false, phigiven = false, nsubgiven = false;
    // Series resistances, bulk junctions and overlaps.
    double rd = 0, rs = 0, rsh = 0, cbd = 0, cbs = 0, is = 0, js = 0, pb = 0, cj = 0, mj = 0, cjsw = 0,
           mjsw = 0;
    double fc = 0, cgso = 0, cgdo = 0, cgbo = 0;
    bool rdgiven = false, rsgiven = false, cbdgiven = false, cbsgiven = false;
    double tnom = 0, kf = 0, af = 0;
    bool tnomgiven = false;
    // Of some levels only.
    double delta = 0, vmax = 0, xj = 0, nfs = 0; // levels 2 and 3
    double uexp = 0, ucrit = 0, neff = 0; // level 2
    double eta = 0, theta = 0, kappa = 0, wd = 0; // level 3
    double kv = 0, nv = 0, kc = 0, nc = 0, gamma1 = 0, sigma = 0, lambda0 = 0, lambda1 = 0; // level 6
    bool kcgiven = false, lambda0given = false;
};

// Model parameter ids; a level's table holds the rows it uses.
enum : int32_t {
    Nmos = 101,
    Pmos,
    Polarity,
    Vto,
    VtoAlias,
    Kp,
    Gamma,
    Phi,
    Lambda,
    Rd,
    Rs,
    Cbd,
    Cbs,
    Is,
    Pb,
    Cgso,
    Cgdo,
    Cgbo,
    Rsh,
    Cj,
    Mj,
    Cjsw,
    Mjsw,
    Js,
    Tox,
    Ld,
    U0,
    U0Alias,
    Fc,
    Nsub,
    Tpg,
    Nss,
    Tnom,
    Kf,
    Af,
    Delta,
    Vmax,
    Xj,
    Nfs,
    Uexp,
    Ucrit,
    Neff,
    Eta,
    Theta,
    Kappa,
    Wd,
    Kv,
    Nv,
    Kc,
    Nc,
    Gamma1,
    Sigma,
    Lambda0,
    Lambda1,
    DrainConductance,
    SourceConductance,
};

// The type flags, the threshold voltage and the bulk junction, overlap, series resistance,
// temperature and noise rows, whose defaults every level shares.
inline constexpr auto sharedrows = std::array {
    settable<&setpolarity<Model, 1>>("nmos", Nmos, IF_FLAG, "N type MOSfet model"),
    settable<&setpolarity<Model, -1>>("pmos", Pmos, IF_FLAG, "P type MOSfet model"),
    reading<&Model::polarity>("type", Polarity, "N (1) or P (-1) channel"),
    field<&Model::vto, &Model::vtogiven>("vto", Vto, "Threshold voltage").in("V"),
    field<&Model::vto, &Model::vtogiven>("vt0", VtoAlias, "Threshold voltage").in("V"),
    field<&Model::gamma, &Model::gammagiven>("gamma", Gamma, "Bulk threshold parameter").in("V^0.5"),
    field<&Model::phi, &Model::phigiven>("phi", Phi, "Surface potential").in("V").initially(0.6),
    field<&Model::rd, &Model::rdgiven>("rd", Rd, "Drain ohmic resistance").in("ohm"),
    field<&Model::rs, &Model::rsgiven>("rs", Rs, "Source ohmic resistance").in("ohm"),
    field<&Model::cbd, &Model::cbdgiven>("cbd", Cbd, "B-D junction capacitance").in("F"),
    field<&Model::cbs, &Model::cbsgiven>("cbs", Cbs, "B-S junction capacitance").in("F"),
    field<&Model::is>("is", Is, "Bulk junction saturation current").in("A").initially(1e-14),
    field<&Model::pb>("pb", Pb, "Bulk junction potential").in("V").initially(0.8),
    field<&Model::cgso>("cgso", Cgso, "Gate-source overlap capacitance per width").in("F/m"),
    field<&Model::cgdo>("cgdo", Cgdo, "Gate-drain overlap capacitance per width").in("F/m"),
    field<&Model::cgbo>("cgbo", Cgbo, "Gate-bulk overlap capacitance per length").in("F/m"),
    field<&Model::rsh>("rsh", Rsh, "Drain and source sheet resistance").in("ohm"),
    field<&Model::cj>("cj", Cj, "Bottom junction capacitance per area").in("F/m2"),
    field<&Model::mj>("mj", Mj, "Bottom grading coefficient").initially(0.5),
    field<&Model::cjsw>("cjsw", Cjsw, "Side junction capacitance per length").in("F/m"),
    field<&Model::js>("js", Js, "Bulk junction saturation current density").in("A/m2"),
    field<&Model::ld>("ld", Ld, "Lateral diffusion").in("m"),
    field<&Model::u0>("u0", U0, "Surface mobility").in("cm2/Vs").initially(600),
    field<&Model::u0>("uo", U0Alias, "Surface mobility").in("cm2/Vs").initially(600),
    field<&Model::fc>("fc", Fc, "Forward bias junction fit parameter").initially(0.5),
    field<&Model::nsub, &Model::nsubgiven>("nsub", Nsub, "Substrate doping").in("1/cm3"),
    field<&Model::tpg>("tpg", Tpg, "Gate type").initially(1),
    field<&Model::nss>("nss", Nss, "Surface state density").in("1/cm2"),
    field<&Model::tnom, &Model::tnomgiven>("tnom", Tnom, "Parameter measurement temperature").in("degC"),
    field<&Model::kf>("kf", Kf, "Flicker noise coefficient"),
    field<&Model::af>("af", Af, "Flicker noise exponent").initially(1),
    computed<&seriesconductance<&Model::rd>>("gd", DrainConductance, "Drain conductance").in("S"),
    computed<&seriesconductance<&Model::rs>>("gs", SourceConductance, "Source conductance").in("S"),
};

// The rows of the oxide thickness (0: none) and sidewall grading coefficient, whose defaults differ
// between the levels.
constexpr Parameter<Model> toxrow(double initial)
{
    return field<&Model::tox>("tox", Tox, "Oxide thickness").in("m").initially(initial);
}
constexpr Parameter<Model> mjswrow(double initial)
{
    return field<&Model::mjsw>("mjsw", Mjsw, "Side grading coefficient").initially(initial);
}
constexpr Parameter<Model> lambdarow()
{
    return field<&Model::lambda>("lambda", Lambda, "Channel length modulation").in("1/V");
}
constexpr Parameter<Model> kprow()
{
    return field<&Model::kp, &Model::kpgiven>("kp", Kp, "Transconductance parameter")
        .in("A/V2")
        .initially(2e-5);
}

// A shared model value outside what the equations take, named; null when all are sound.
const char* unsound(const Model& m);

} // namespace nerith::mos
