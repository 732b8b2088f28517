#pragma once

// Registers the parts whose models live in model libraries, script models among them, with the
// kernel's model catalog.
void registerextmodels();
