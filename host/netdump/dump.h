#pragma once

#include <cstdio>
#include <string>

// The netlist file on `stream` as the simulator's reader understands it: design name, properties,
// models, scripts, parts with their pins, and nets with every entry in file order, each entry
// saying whether it reached a part (addpin) or the circuit (connect) and with which pin type.
std::string dumpnetlist(FILE* stream);
