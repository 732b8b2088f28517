#pragma once

#include "engines/nerith/largepages.h"
#include "engines/nerith/values.h"

#include <cstdint>

struct IFinstance;

namespace nerith {

// A node: the contract's public head (identifier and equation number) and what the engine keeps
// behind it. Nodes never move, and their identifiers are kept in the circuit's text arena, so an
// identifier stays put until the circuit is deleted.
struct Node : IFnode {
    bool deleted = false;
    uint32_t index = 0; // its place in the circuit's store of nodes
};

// One solution equation: a node voltage or a branch current.
struct Equation {
    IFuid name = nullptr; // the node's own identifier, or the branch's
    bool voltage = true;
    bool removed = false; // its node or owner was deleted; dropped at the next set-up
    Node* node = nullptr; // of a voltage
    IFinstance* owner = nullptr; // of a device's branch current or internal node; null for a model's
};

// The equations by number, one per node: millions in large circuits.
using Equations = LargeVector<Equation>;

} // namespace nerith
