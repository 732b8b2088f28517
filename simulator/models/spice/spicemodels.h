#pragma once

struct SPICEDECK;
class CIRCUIT;
class MLIBMANAGER;

// Gathers the SPICE text the circuit needs into the deck, before it is listed and expanded: every
// netlist script named "SPICE", then for every part in the circuit's order what its SPICEMODEL
// names. SPICEMODEL is "<model>[,<file>]" (or the file after a blank): the file (else the SPICEFILE
// property; extension "MOD" when it has none) is read once per load from the MODELS path; without
// a file, the model is taken from the library that SPICELIB names, once per load. Then every part
// adds its own cards (COMPONENT::expand). A missing file is a warning ("cannot open SPICE source
// file %s"), a file the bounded reader refuses an error (readsourcefile), a missing library model a
// warning on TRACE_SPICELINK; the load goes on. A file that gave no card is read again when another
// part names it.
void loadspicemodels(SPICEDECK* deck, CIRCUIT* circuit, MLIBMANAGER* libraries);
