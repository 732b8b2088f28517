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

// One solution equation: a node voltage or a branch current. Large circuits have millions, so a
// voltage reads its identifier through its node rather than keeping it twice.
struct Equation {
    static Equation voltageof(Node& node)
    {
        Equation made;
        made.of.node = &node;
        return made;
    }
    static Equation currentof(IFuid branch, IFinstance* owner)
    {
        Equation made;
        made.of.branch = branch;
        made.owner = owner;
        made.isvoltage = false;
        return made;
    }
    bool voltage() const { return isvoltage; }
    // The node of a voltage; null for a current.
    Node* node() const { return isvoltage ? of.node : nullptr; }
    // The node's identifier, or the branch's.
    IFuid name() const { return isvoltage ? (of.node ? of.node->name : nullptr) : of.branch; }

    IFinstance* owner = nullptr; // of a device's branch current or internal node; null for a model's
    bool removed = false; // its node or owner was deleted; dropped at the next set-up

private:
    bool isvoltage = true;
    union {
        Node* node = nullptr;
        IFuid branch;
    } of;
};

// The equations by number, one per node: millions in large circuits.
using Equations = LargeVector<Equation>;

} // namespace nerith
