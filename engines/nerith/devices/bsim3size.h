#pragma once

#include "engines/nerith/devices/bsim3model.h"

#include <string>
#include <vector>

// What a BSIM3 instance's equations take at the run's temperature and the instance's size: the
// binned parameters resolved for its effective length and width, and the values worked out of them
// once, the junctions' and the series resistances' included.

namespace nerith::bsim3 {

// Constants of the equations (SI units), as the model defines them.
inline constexpr double OxidePermittivity = 3.453133e-11; // F/m
inline constexpr double SiliconPermittivity = 1.03594e-10; // F/m
inline constexpr double Charge = 1.60219e-19; // C
inline constexpr double ExpThreshold = 34.0;
inline constexpr double MaxExp = 5.834617425e14;
inline constexpr double MinExp = 1.713908431e-15;

// The drawn size and the junction geometry of an instance.
struct Geometry {
    double l = 0, w = 0, ad = 0, as = 0, pd = 0, ps = 0, nrd = 1, nrs = 1;
};

// A bulk junction of one side at temperature: its saturation current, the voltage above which its
// current is continued linearly (none when ijth is 0) and its zero-bias capacitances.
struct Junction {
    double saturation = 0;
    double vjm = 0, isevjm = 0; // the corner and the current there
    bool linear = false;
    double bottom = 0, sidewall = 0, gateside = 0; // F
};

struct Constants {
    double p[BinnedCount] {}; // binned parameters at the instance's size and the run's temperature
    double leff = 0, weff = 0, leffcv = 0, weffcv = 0;
    double cox = 0, tox = 0, vtm = 0, factor1 = 0, tratio = 0, kelvin = 0;
    double u0temp = 0, vsattemp = 0, rds0 = 0, abulkcvfactor = 0;
    double phi = 0, sqrtphi = 0, phis3 = 0, xdep0 = 0, litl = 0, vbi = 0, cdep0 = 0, ldeb = 0;
    double k1ox = 0, k2ox = 0, theta0vb0 = 0, thetarout = 0, vbsc = 0, vfbzb = 0, vth0 = 0, vfb = 0;
    double cgso = 0, cgdo = 0, cgbo = 0; // overlap capacitances (F)
    double tconst = 0;
    double nvtm = 0; // the junctions' emission coefficient times kT/q
    double phib = 0, phibsw = 0, phibswg = 0, mj = 0, mjsw = 0, mjswg = 0;
    Junction drain, source;
    double gdrain = 0, gsource = 0; // series conductances; 0: none
    double vcrit = 0; // the bulk junctions' limiting voltage
};

// The model's messages about its values: warnings, and fatal faults naming the parameter.
struct Findings {
    std::vector<std::string> warnings;
    std::string fatal; // empty: none
};

// The constants of an instance of `m` of geometry `g` at `kelvin` (TNOM `nominal`, both K). The
// checks of the model's values on the way land in `found`; with a fatal one the constants are not
// to be used.
void prepare(const Model& m, const Geometry& g, double nominal, double kelvin, Constants& c, Findings& found);

} // namespace nerith::bsim3
