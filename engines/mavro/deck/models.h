#pragma once

#include "engines/mavro/mavro.h"

#include <optional>
#include <string>
#include <string_view>

namespace mavro {

// A ".model" card the first pass read. Its engine model is made, and its parameters set, on the
// first INPgetMod of its name.
struct ModelCard {
    INPmodel record {}; // what INPgetMod hands out; record.name is the table's copy of `name`
    std::string name; // as on the card
    std::string type; // the type word, lower case ("npn", "nmos")
    std::string problem; // why the model cannot be used (unknown type, no such device); empty when it can
    // The lengths and widths it is for, when it gives all of LMIN, LMAX, WMIN and WMAX: read once, as
    // every device naming a binned model looks through the bins.
    struct Bin {
        double lmin, lmax, wmin, wmax;
    };
    std::optional<Bin> bin;
};

// The model read under that name (exact spelling first, then without case); null when none.
ModelCard* findmodel(std::string_view name);

// The value of the parameter `keyword` among the tokens at the cursor, when given and a number.
std::optional<double> valuefrom(const char* cursor, std::string_view keyword);

// The BSIM3 model card of a bin of `name`: among the cards named `name`.<suffix> whose LMIN, LMAX,
// WMIN and WMAX are all given, the one whose range holds a device of length `l` and width `w`
// (LMIN <= l < LMAX, WMIN <= w < WMAX); null when none does.
ModelCard* findbinned(std::string_view name, double l, double w);

// The device type name of a model type word and, for "nmos" and "pmos", its LEVEL (1 MOS1, 2 MOS2,
// 3 MOS3, 4 BSIM1, 5 BSIM2, 6 MOS6, 7 BSIM3); null for a word that is no model type.
const char* modeldevice(std::string_view type, int level);

} // namespace mavro
