#pragma once

#include <memory>
#include <string>

class CIRCUIT;
class COMPONENT;
class IPROBE;
class PROPLIST;
struct INPtables;
struct IFcircuit;
struct SDF_PIN;

// The current probes parts insert between two of their own pins' nets: a voltage source of 0 V
// whose branch current is the current flowing from the first pin's net to the second's. The
// behavioural source measures its i(X,Y) terms with them, the current-controlled sources their
// control current.

// The probe `name` from the net of `first` (its pin "1") to the net of `second` (pin "2"), with a
// copy of `properties`, bound in the engine's circuit: model "IPROBE", instance `name`, 0 V, its
// branch. Owned by the caller; binding failures are warned about as every SPICE part's.
std::unique_ptr<IPROBE> insertprobe(const char* name, const SDF_PIN* first, const SDF_PIN* second,
    const PROPLIST* properties, INPtables* table, IFcircuit* circuit);

// The part of that relative name in the circuit; null when none.
COMPONENT* findrelative(const CIRCUIT* circuit, const COMPONENT* part, const char* name);
