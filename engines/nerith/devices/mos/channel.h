#pragma once

#include "engines/nerith/devices/mos/model.h"

// The drain current of each level as a plain function of the bias in the channel's own frame:
// voltages multiplied by the polarity, drain and source exchanged when vds < 0, so vds >= 0.

namespace nerith::mos {

// The constants SPICE's MOSFET equations are written with: the permittivities of silicon and of
// its oxide (F/m).
inline constexpr double VacuumPermittivity = 8.854214871e-12;
inline constexpr double SiliconPermittivity = 11.7 * VacuumPermittivity;
inline constexpr double OxidePermittivity = 3.9 * VacuumPermittivity;

// What an instance's channel works with at its temperature and geometry, its multiplier M included.
struct Scaled {
    double vt = 0; // kT/q
    double leff = 0; // effective length and width (m)
    double weff = 0;
    double beta = 0; // transconductance factor KP W/L M (level 6: KC W/L M), at temperature
    double cox = 0; // gate oxide capacitance (F), M included
    double coxarea = 0; // oxide capacitance per area (F/m2); 0: no oxide given
    double vbi = 0; // the threshold's built-in part in the channel's frame
    double vto = 0; // the zero-bias threshold in the channel's frame
    double phi = 0; // surface potential
    double gamma = 0; // bulk threshold parameter, given or from the doping
    double mobility = 0; // surface mobility (cm2/Vs)
    double bulkpot = 0; // bulk junction potential
    double xd = 0; // depletion width coefficient sqrt(2 eps / (q NSUB)) (m/V^0.5); 0: no NSUB
    double narrow = 0; // level 3's narrow-width threshold factor
    bool badmos3 = false; // the run's BADMOS3 option
};

// The drain current from drain to source in the channel's frame, its derivatives by vgs, vds and
// vbs, the turn-on voltage and the saturation voltage.
struct DrainCurrent {
    double cdrain = 0;
    double gm = 0;
    double gds = 0;
    double gmbs = 0;
    double von = 0;
    double vdsat = 0;
};

// A level's drain current at vgs, vds >= 0 and vbs.
using CurrentFunction
    = DrainCurrent (*)(const Model& m, const Scaled& at, double vgs, double vds, double vbs);

// Level 1: the square law with channel-length modulation.
DrainCurrent level1current(const Model& m, const Scaled& at, double vgs, double vds, double vbs);
// Level 2: the analytic model with bulk charge, mobility degradation, velocity saturation, short and
// narrow channel effects and weak inversion.
DrainCurrent level2current(const Model& m, const Scaled& at, double vgs, double vds, double vbs);
// The smallest positive root of x^4 + a1 x^3 + b1 x^2 + c1 x + d1 whose residual is within 1e-6,
// or -1 when there is none: level 2's saturation voltage under velocity saturation.
double smallestroot(double a1, double b1, double c1, double d1);
// Level 3: the semi-empirical short-channel model.
DrainCurrent level3current(const Model& m, const Scaled& at, double vgs, double vds, double vbs);
// Level 6: the n-th power law.
DrainCurrent level6current(const Model& m, const Scaled& at, double vgs, double vds, double vbs);

} // namespace nerith::mos
