#pragma once

#include <cstdint>

struct IFcircuit;

namespace nerith {

// Analyses the matrix's structure when places or cells were added since, and lets every device
// family attach its places to the entries. 0, or E_NOMEM with fail()'s message.
int order(IFcircuit& ckt);

// Adds the conductance that gmin stepping and the shunt resistance put from every node to ground.
void shunt(IFcircuit& ckt);

// Stamps every device and the circuit's own conductances (gmin stepping, shunt resistance,
// nodesets in the first iterations of an operating point, initial conditions through a transient's
// operating point) for one Newton iteration, first ordering the matrix when its structure changed.
// 0, or E_NOMEM with fail()'s message.
int load(IFcircuit& ckt);

// Newton-Raphson from ckt.solution in the present mode, at most `limit` iterations. 0 when the
// iterate settled (the result is in ckt.solution): every node within its tolerance, no device
// limited and the devices' currents consistent, or at the limit the nodes and limiting alone, which
// is where the reference simulator stops (a device's current through a huge companion conductance,
// of tiny steps or large capacitances, can jitter above its tolerance with the rounding of the
// solution alone); E_ITERLIM when it did not (ckt.trouble names
// the equation); the code of a singular matrix (E_BADMATRIX, E_SINGULAR) or E_NOMEM, with fail()'s
// message.
int iterate(IFcircuit& ckt, int32_t limit);

// The operating point in mode `dcmode` (MODE_DCOP or MODE_TRANOP): Newton-Raphson from the present
// solution, then gmin stepping, then source stepping. 0, or fail()'s code naming the node or device.
int operatingpoint(IFcircuit& ckt, uint32_t dcmode);

} // namespace nerith
