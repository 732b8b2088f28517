#pragma once

// Writing a compiled netlist (after NETLIST::validate): the simulator's netlist file, and a
// canonical text dump in which everything stands in name order, so that two netlists of the same
// circuit compare equal whatever order they were built in. And the electrical rules check.
// Callers: the schematic's netlist compiler, the simulation host, tests.

#include <iosfwd>

class NETLIST;

enum NETFORMAT {
    NETFORMAT_SDF = 0, // the simulator's netlist file, extension "SDF"
    NETFORMAT_DUMP = 1, // the canonical dump, extension "TXT"
};

// The file extension of a format; null for one that is not written.
const char* netformatextension(int format);
// 1 when written; 0 for a format that is not written or a stream that failed.
int net_gen(const NETLIST& netlist, std::ostream& out, int format);
// Into a file, whole or not at all (through a temporary beside it).
int net_gen(const NETLIST& netlist, const char* path, int format);
// Checks every net's pin types: outputs that drive one another, inputs that nothing drives, pins
// alone on their net. One line each to out; the number of errors (a lone pin is a warning).
int net_erc(const NETLIST& netlist, std::ostream& out);
