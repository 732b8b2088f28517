#pragma once

#include <cstdio>
#include <string>

namespace deckrun {

// Reads the SPICE deck at `path` through the parser into the engine, runs its analysis (the
// ".tran" card, else ".op") and writes the vectors of its ".print" cards (every node voltage when
// there is none) to `out`: a line of names, the first the sweep variable ("time"; none for an
// operating point), then a line per point, values "%.9e" separated by blanks. Messages go to `err`.
// 0 on success; 1 when the deck cannot be read, a card does not read or the run fails. With
// `statistics`, a successful run ends with a line on `err`: the processor time of reading,
// building and running the deck, the peak memory once built and in all, and the run's size.
int run(const std::string& path, std::FILE* out, std::FILE* err, bool statistics = false);

} // namespace deckrun
