#pragma once

#include "engines/mavro/mavro.h"

#include <cstdint>

// The operations of the load on its SPICE deck (the deck holder and its cards are
// simulator/kernel/spicedeck/spicedeck.h): what the parser gets to read, and the last step of the
// deck's preparation.

struct SPICEDECK;

// The first card; null for an empty deck.
SPICECARD* deckhead(const SPICEDECK* deck);
// The number of cards.
int32_t deckcount(const SPICEDECK* deck);
// Expands the deck's subcircuits, then turns every card's text to lower case. An instance card
// left in the expanded deck (a subcircuit defined nowhere) is reported on TRACE_SPICELINK as
// "SUBCKT '%s' used in '%s' but not found."; then, as when the expansion itself fails, the fatal
// message "Failed to expand subcircuits." ends the load. The holder owns the expanded deck in
// either case. An empty deck is left alone.
void expanddeck(SPICEDECK* deck);
// Frees every card; the deck is empty afterwards.
void freedeck(SPICEDECK* deck);
