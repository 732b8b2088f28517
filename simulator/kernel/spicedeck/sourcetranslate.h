#pragma once

#include "engines/mavro/mavro.h"

// Translation of a controlled-source card (E, F, G or H) for the SPICE engine. A VALUE or POLY
// form becomes a behavioural source card: "B", the device name, its two nodes, " V=" (E, H) or
// " I=" (F, G) and the expression (LOG becomes LN and LOG10 becomes LOG, braces become blanks).
// Any other form keeps its letter with every '(', ')' and ',' turned into a blank. A card whose
// translation differs from its text gets the new text, logged as "Translated: %s to %s" on the
// SPICE-link trace.
//
// A POLY form that cannot be written (see polywrite.h) leaves the card as it is, with
// "Error: <reason>: <card>" on the module's standard output; the parser then reports the card.
void translatesource(SPICECARD* card);
