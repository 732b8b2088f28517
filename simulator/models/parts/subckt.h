#pragma once

#include "simulator/kernel/component.h"

// SUBCKT: a part that stands for a SPICE subcircuit. It simulates nothing itself: it adds one X card
// to the deck, naming the nets of its pins by their ids ("$" and eight hexadecimal digits), which
// the parser's node callback turns back into the nets' nodes once the card is expanded.
class SUBCKT final : public COMPONENT {
public:
    using COMPONENT::COMPONENT;
    // 8: appends "X<name> $<net> ... <SUBCKT>" to the deck (a SPICEDECK): the subcircuit is the
    // SPICEMODEL, else the VALUE, cut at the first ',' and in upper case; the pins those SPICEPINS
    // lists by name (comma-separated; "Pin %s of %s referenced but not found in %s property" for
    // one the part lacks), else every pin in pin order. A part naming no subcircuit is warned about
    // and adds no card.
    void expand(void* deck) override;

    // The card's text, with its newline; empty when the part names no subcircuit.
    std::string card();
};
