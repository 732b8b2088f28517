#pragma once

#include "engines/nerith/devices/bsim3dual.h"
#include "engines/nerith/devices/bsim3size.h"

// The BSIM3 channel at one bias: the drain and substrate currents and the gate, bulk and drain
// charges with their derivatives by the terminal voltages, as plain functions of the instance's
// constants.

namespace nerith::bsim3 {

// The channel's voltages against the source, multiplied by the polarity (in either direction).
struct Bias {
    double vgs = 0, vds = 0, vbs = 0;
};

// What the channel gives at a bias; each Dual is by the voltages of the bias as it was given (the
// real drain and source, whichever the channel takes as its drain).
struct Channel {
    int32_t mode = 1; // -1: the source is the channel's drain (vds < 0)
    Dual ids; // from the drain to the source
    Dual isub; // from the channel's drain (the source when mode is -1) to the bulk
    Dual qg, qb, qd; // intrinsic charges of gate, bulk and drain, without overlaps and junctions
    double vth = 0, vdsat = 0, vgsteff = 0, vdseff = 0, ueff = 0, abulk = 0, rds = 0;
    double qinv = 0; // the inversion charge the thermal noise takes
};

// The channel of `m` with constants `c` at `v`; the charges only when `charges` is set.
Channel channel(const Model& m, const Constants& c, const Bias& v, bool charges);

// The overlap charges of gate to source and drain with the overlaps' own bias dependence
// (CAPMOD 1 to 3), of the gate-source or gate-drain voltage.
Dual overlapcharge(const Model& m, const Constants& c, double cgo, double cgl, const Dual& v);

// The depletion charge of a bulk junction side at `v` (bulk against the side), its capacitance in
// the derivative.
Dual junctioncharge(const Constants& c, const Junction& j, double v);

// The current of a bulk junction side at `v` with its conductance, `gmin` across it.
struct Diode {
    double i = 0, g = 0;
};
Diode junctioncurrent(const Junction& j, double nvtm, double v, double gmin);

} // namespace nerith::bsim3
