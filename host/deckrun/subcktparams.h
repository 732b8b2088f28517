#pragma once

#include "host/deckrun/params.h"

#include <cstdint>
#include <string>
#include <vector>

namespace deckrun {

// A card's text and the deck line it came from.
struct LineText {
    int32_t line = 0;
    std::string text;
};

// Parameterised subcircuits made plain for the simulator's expansion: a ".subckt name nodes
// [params:] a=1 b={2*a}" definition gives way to one plain copy for each set of values its
// instances ("x1 nodes name [params:] a=3") give, named "name#1", "name#2", ..., its body's
// braced expressions, ".param" cards and the instances of parameterised subcircuits in it
// evaluated with its parameters over the deck's (`deck`); the instances then name their copy.
// Cards (lower case, the title first) with no parameterised definition come back as they are.
// What does not read goes to `problems` ("line %d: ...").
std::vector<LineText> plainsubckts(std::vector<LineText> cards, const Params& deck, std::vector<std::string>& problems);

} // namespace deckrun
