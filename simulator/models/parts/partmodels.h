#pragma once

// Registers the SPICE device parts and the generators with the kernel's model catalog.
void registerpartmodels();
