#pragma once

#include <cstdint>

struct IFcircuit;

namespace nerith {

// Explains a singular matrix whose pivot vanished at `equation`: E_BADMATRIX for a node without a
// DC path to ground or a loop of voltage sources, else E_SINGULAR naming the equations the matrix
// leaves undetermined, the one it moves most first; fail()'s message names the node or devices.
int diagnose(IFcircuit& ckt, int32_t equation);

} // namespace nerith
