#pragma once

#include "engines/nerith/devices/bsim3size.h"
#include "engines/nerith/devices/bsimload.h"

// The BSIM3 channel at one bias: the drain and substrate currents and the gate, bulk and drain
// charges with their derivatives by the terminal voltages, as plain functions of the instance's
// constants.

namespace nerith::bsim3 {

using bsim::Bias;
using bsim::Channel;
using bsim::Diode;
using bsim::Dual;

// The channel of `m` with constants `c` at `v`; the charges only when `charges` is set.
Channel channel(const Model& m, const Constants& c, const Bias& v, bool charges);

// The overlap charges of gate to source and drain with the overlaps' own bias dependence
// (CAPMOD 1 to 3), of the gate-source or gate-drain voltage.
Dual overlapcharge(const Model& m, const Constants& c, double cgo, double cgl, const Dual& v);

// The depletion charge of a bulk junction side at `v` (bulk against the side), its capacitance in
// the derivative.
Dual junctioncharge(const Constants& c, const Junction& j, double v);

// The current of a bulk junction side at `v` with its conductance, `gmin` across it.
Diode junctioncurrent(const Junction& j, double nvtm, double v, double gmin);

} // namespace nerith::bsim3
