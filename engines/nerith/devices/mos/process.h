#pragma once

#include "engines/nerith/devices/mos/channel.h"

// What a model's process parameters give at TNOM, and what an instance's geometry and temperature
// make of a model: the constants of its load.

namespace nerith::mos {

// The intrinsic carrier density of silicon at room temperature (1/m3).
inline constexpr double IntrinsicDensity = 1.45e16;

// The values a model's process parameters give at TNOM.
struct Process {
    double coxarea = 0; // oxide capacitance per area (F/m2); 0: no TOX
    double kp = 0;
    double phi = 0;
    double gamma = 0;
    double vto = 0;
    double xd = 0; // depletion width coefficient; 0: no NSUB
};

// The process values at the model's TNOM (`nominal`, K): KP from U0 and TOX, and with NSUB, PHI,
// GAMMA and VTO from the doping where they are not given; `intrinsic` is the carrier density the
// doping must exceed. Null, or the parameter that makes them unusable.
const char* fromdoping(const Model& m, double nominal, double intrinsic, Process& p);

// An instance's own parameters, with the options' defaults in place of those not given.
struct Geometry {
    double l = 0, w = 0, m = 1, ad = 0, as = 0, pd = 0, ps = 0, nrd = 1, nrs = 1;
};

// A bulk junction's zero-bias capacitances (bottom and sidewall, F) and the coefficients of its
// charge above the forward-bias corner: charge f4 + v (f2 + v f3 / 2), capacitance f2 + f3 v.
struct BulkJunction {
    double bottom = 0;
    double sidewall = 0;
    double f2 = 0, f3 = 0, f4 = 0;
};

// What the bulk junctions of an instance share: potential, grading and the corner fc * potential.
struct BulkGrading {
    double potential = 0;
    double mj = 0;
    double mjsw = 0;
    double corner = 0;
    double bottomcharge = 0, sidecharge = 0; // potential / (1 - mj), potential / (1 - mjsw)
};

// The constants of an instance's load at its temperature and geometry, M included.
struct Constants {
    Scaled at;
    double kelvin = 0;
    double drainsat = 0, sourcesat = 0; // bulk junction saturation currents
    double drainvcrit = 0, sourcevcrit = 0;
    double gdpr = 0, gspr = 0; // series conductances; 0: none
    double cgso = 0, cgdo = 0, cgbo = 0; // overlap capacitances (F)
    BulkGrading grading;
    BulkJunction drain, source;
};

// The series conductance of a drain or source: M over RD (RS) when given, else over RSH times the
// squares; 0 when there is no resistance.
double seriesconductance(bool given, double r, double rsh, double squares, double multiplier);

// The constants of an instance of `m` whose process gave `p`, at `kelvin` with TNOM `nominal`;
// the channel's level-specific values are the caller's. Null, or the value that makes them
// unusable.
const char* scale(
    const Model& m, const Process& p, const Geometry& g, double nominal, double kelvin, Constants& c);

} // namespace nerith::mos
