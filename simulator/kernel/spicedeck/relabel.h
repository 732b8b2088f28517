#pragma once

#include "engines/mavro/mavro.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// Relabelling the cards of one subcircuit copy for subcircuit expansion: device, node, model and
// reference names get the instance label so that every copy's names are its own.

// What an expansion knows of the names visible where a copy is made: the levels being expanded,
// innermost first.
class EXPANSIONNAMES {
public:
    // The formal node count of the subcircuit of that name; -1 when none is defined.
    virtual int formalcount(std::string_view subckt) const = 0;
    // Whether a ".model" card of that name was seen (or made by a relabelling).
    virtual bool ismodelname(std::string_view model) const = 0;

protected:
    ~EXPANSIONNAMES() = default;
};

// The key a name is looked up by: SPICE compares subcircuit, node and model names without case.
std::string namekey(std::string_view name);

// The formal node names of a subcircuit (by namekey) bound to an instance's actual nodes.
using BINDINGS = std::unordered_map<std::string, std::string>;

// A device name under a label: "R5" gives "R:1:5", "Q" gives "Q:1", "R:5" gives "R:1:5".
std::string labeldevice(std::string_view device, std::string_view label);

// Relabels the ".model" cards of a copy as "label:name" and, when there was one, the tokens at
// the model positions of the copy's device cards that name one of them. Every new model name is
// added to newmodels.
void relabelmodels(SPICECARD* copy, std::string_view label, std::unordered_set<std::string>& newmodels);

// Relabels one card of a copy: device name, nodes (0 stays, formals take their actuals, others
// get the label), controlling devices of K, F, H and W cards, and the V(...) and I(...)
// references in the rest. False when the card has fewer nodes or devices than it needs (the
// message is written; the card is unchanged).
bool relabelcard(
    SPICECARD* card, std::string_view label, const BINDINGS& bindings, const EXPANSIONNAMES& names);

// The last word of a card (words are separated by spaces, tabs and line ends); empty for a blank card.
std::string_view lastword(const char* text);

// Whether text begins with keyword, letters compared without regard to case.
bool beginswith(const char* text, std::string_view keyword);
