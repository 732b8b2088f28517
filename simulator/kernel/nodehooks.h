#pragma once

#include "engines/nerith/descriptor.h"

class SDF_NETLIST;

// The node callbacks the task load puts into the parser's descriptor (slots 5 and 6) before the
// parser's second pass. A subcircuit part names the nets of its pins in its X card as "$" and
// eight hexadecimal digits, the net's id (engines/CONTRACT.md); expansion carries these names into
// the device cards, and the new-node callback turns them back into the net's existing node.

// The netlist whose net ids the "$" names give; set by the load around its second pass (null:
// none, so every "$" name is looked up as it is written).
void setnodehooknetlist(const SDF_NETLIST* netlist);

// Slot 5: a name beginning with '$' is the id of a net, whose node the engine's findNode gives
// (its result: E_NOTFOUND when the id names no net that has a node); any other name goes to the
// engine's newNode.
int spicenewnode(IFcircuit* ckt, IFnode** node, IFuid name);
// Slot 6: asks the engine's groundNode without a name first; 0 when the ground node exists
// already, else the engine's answer to the call with the name.
int spicegroundnode(IFcircuit* ckt, IFnode** node, IFuid name);
