#pragma once

#include <cstdint>

struct IFcircuit;

namespace nerith {

// Explains a singular matrix found at `equation`: E_BADMATRIX for a node without a DC path to
// ground or a loop of voltage sources, else E_SINGULAR; fail()'s message names the node or devices.
int diagnose(IFcircuit& ckt, int32_t equation);

} // namespace nerith
