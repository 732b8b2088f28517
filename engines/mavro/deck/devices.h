#pragma once

#include "engines/mavro/deck/cards.h"
#include "engines/mavro/symtab.h"

#include <unordered_map>

namespace mavro {

// What the second pass keeps from card to card.
struct DeckState {
    IFcircuit* ckt;
    INPtables* table;
    std::unordered_map<int32_t, IFmodel*> defaults; // the model of each device type for cards naming none
};

// Reads a device card (R C L K D Q J Z M V I E F G H B S W T O U) into the engine: the instance,
// its nodes, its model and parameters. A card whose structure does not read (a missing node or model,
// a letter whose device type the engine lacks) makes no instance; a bad parameter is reported and
// the rest of the card still read.
void readdevice(SPICECARD* card, DeckState& state, CardReport& report);

} // namespace mavro
