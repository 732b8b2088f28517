#pragma once

#include "simulator/kernel/component.h"

// The makers of the component factory (CIRCUIT::createcomponent, factory.cpp), one per group of
// kinds of the primitive table (primitives.h). Each takes the part's name, its row, the netlist
// model it names (null: none) and its properties, and gives the new part, not yet registered in
// any circuit; null when the row's kind is outside the maker's kinds.

struct PXlink;

// Kinds 0x1000 to 0x1006: SPICE devices.
COMPONENT* createspicepart(
    const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);
// Kinds 0x2001 to 0x2006: generators (DC, sine, pulse, exponential, FM and piecewise linear).
COMPONENT* creategenerator(
    const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);
// Kinds 0xA001 to 0xA009: real-time instruments.
COMPONENT* creatertpart(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);
// Kinds 0x5001 to 0x5007: the built-in mixed models; `link` is the digital engine's link of an ADC
// or DAC object (null from the factory: the object links itself).
COMPONENT* createintmodel(
    const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties, PXlink* link);
