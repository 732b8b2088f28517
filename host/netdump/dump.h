#pragma once

#include <string>

// The netlist file at path as the simulator's reader understands it, into dump: design name,
// properties, models, scripts, parts with their pins, and nets with every entry in file order, each
// entry saying whether it reached a part (addpin) or the circuit (connect) and with which pin type.
// False, with the reason in error, when the reader refuses the file (SDF_NETLIST::readfile) or
// finds in it neither a design line nor any netlist section.
bool dumpnetlist(const char* path, std::string& dump, std::string& error);
