#pragma once

struct SPICEDECK;

// Lists the deck and translates its controlled sources. With the SPICE-link trace at detail level
// the header "SPICE input deck..." is logged and every card's text is written as a plain line on
// the module's standard output before its translation. Every card whose first non-blank character
// is an upper-case E, F, G or H goes through translatesource. An empty deck does nothing.
void listdeck(SPICEDECK* deck);
