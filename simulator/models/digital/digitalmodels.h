#pragma once

// Registers the digital primitive parts with the kernel's model catalog.
void registerdigitalmodels();
