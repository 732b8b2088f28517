#pragma once

#include "simulator/kernel/component.h"

// The component factory (CIRCUIT::createcomponent, factory.cpp) makes the parts of most kinds
// through the model catalog (modelcatalog.h); these are the kernel's own makers.

struct PXlink;

// Kinds 0x5002 and 0x5003: the ADC and DAC objects of a mixed net; `link` is the digital engine's
// link of the object (null from the factory: the object links itself). Null for any other kind.
COMPONENT* createintmodel(
    const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties, PXlink* link);
