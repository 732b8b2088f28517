#pragma once

// The global library counter: one more with every change to a library file or to a set of loaded
// entries, so that whoever lists entries (the toolbox of the schematic) sees when to list them
// again. The library's own writers raise it.

#include <cstdint>

uint32_t libcounter();
void raiselibcounter();
