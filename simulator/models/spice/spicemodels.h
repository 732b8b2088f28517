#pragma once

#include <cstdint>
#include <vector>

struct SPICEDECK;

// What the model load needs of the circuit and its model libraries; the kernel's loader supplies
// it, so that the deck code knows neither.
class ISPICESOURCES {
public:
    // The texts of the netlist scripts named "SPICE" (the circuit's, not owned), in the netlist's
    // order; empty when none.
    virtual std::vector<char*> spicescripts() = 0;
    // The number of parts, in the circuit's order.
    virtual int32_t partcount() = 0;
    // The text of part i's property; null when the part has none.
    virtual const char* partproperty(int32_t part, const char* key) = 0;
    // Adds part i's own cards to the deck.
    virtual void expandpart(int32_t part, SPICEDECK* deck) = 0;
    // The record of the model in that library (C heap, freed by the caller: a length word, then
    // the text); null when no library has it.
    virtual char* findmodel(const char* model, const char* library) = 0;

protected:
    ~ISPICESOURCES() = default;
};

// Gathers the SPICE text the circuit needs into the deck, before it is listed and expanded: every
// netlist script named "SPICE", then for every part in the circuit's order what its SPICEMODEL
// names. SPICEMODEL is "<model>[,<file>]" (or the file after a blank): the file (else the SPICEFILE
// property; extension "MOD" when it has none) is read once per load from the MODELS path; without
// a file, the model is taken from the library that SPICELIB names, once per load. Then every part
// adds its own cards (ISPICESOURCES::expandpart). A missing file is a warning ("cannot open SPICE
// source file %s"), a file the bounded reader refuses an error (readsourcefile), a missing library
// model a warning on the SPICE-link channel; the load goes on. A file that gave no card is read
// again when another part names it.
void loadspicemodels(SPICEDECK* deck, ISPICESOURCES& sources);
