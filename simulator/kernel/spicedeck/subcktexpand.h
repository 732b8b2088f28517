#pragma once

#include "engines/mavro/mavro.h"

// Subcircuit expansion: every instance card (first letter X) whose subcircuit is defined in the
// deck is replaced by a relabelled copy of the definition's body, recursively, so that the parser
// receives a flat deck. Problems are written on the module's standard output and standard error as
// the deck code's own lines ("Error: no .ends line.", "Too few parameters for subcircuit type ...").
//
// The expansion owns the chain it is given: cards are reused and relinked, definitions and
// replaced instance cards are freed. It returns the expanded deck's head, or null when the
// expansion failed (its messages written; every card freed). A null head gives null silently.
// Instance cards of subcircuits that are defined nowhere stay in the returned deck. Subcircuit,
// port and model names compare without case. The nodes of ".global" cards keep their names in
// every copy; a port of the same name is bound as any other.
//
// A definition that instantiates itself, directly or through others, fails the expansion before
// any copy is made ("Error: subcircuit recursion: a -> b -> a"); a hierarchy of any depth without
// recursion expands. Bounds: definitions nest at most 100 deep and the copies of one expansion make
// at most 1,000,000 cards and 256 MB of text, a guard against hierarchies that grow exponentially
// wide; beyond that the expansion fails with a message of its own. Cards have no length limit.
SPICECARD* expandsubckts(SPICECARD* head);
