#pragma once

#include <cstdio>
#include <string>

// The SPICE deck read from stream (every line that is not empty is a card; continuation lines are
// not joined) with its controlled sources translated and its subcircuits expanded, one card a
// line. The deck code's own messages go to the module's standard output and error as usual.
// False when the expansion failed (flat is then empty).
bool flattendeck(FILE* stream, std::string& flat);
