#pragma once

#include <string>

// The SPICE deck read from the file at path (every line that is not empty is a card; continuation
// lines are not joined) with its controlled sources translated and its subcircuits expanded, one
// card a line. The deck code's own messages go to the module's standard output and error as usual.
// False, with flat empty, when the bounded reader (platform/win/boundedread.h) refuses the file (the
// reason in error) or the expansion failed (error empty).
bool flattendeck(const char* path, std::string& flat, std::string& error);
