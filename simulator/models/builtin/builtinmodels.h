#pragma once

// Registers the built-in models (the probes) with the kernel's model catalog.
void registerbuiltinmodels();
