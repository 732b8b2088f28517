#pragma once

// Where the results file of a partition name lies. Designs name their partitions, and a design is
// something users download and open: a name is a file below the results folder (the environment
// variable RESULTS; the current folder when it is not set), sub-folders allowed, and never a way to
// reach any other file.

#include <string>

// Whether a name a design gives stays below the folder it is joined to: not empty, no drive, not
// rooted, no ".." level ('\\' and '/' both separate levels), not ending in a separator.
bool staysinside(const char* name);

// The Windows path of the results file of a partition name: the results folder joined with the
// name, with the extension PDF added unless the name ends in it already (in any case). Empty when
// the name is refused: empty, with a drive or a rooted path, with a ".." level ('\' and '/' both
// separate levels), ending in a separator, or too long for a path of 516 characters.
std::string resultsfilepath(const char* name);
