#pragma once

#include "engines/pallex/pallex.h"
#include "simulator/kernel/component.h"
#include "simulator/kernel/evaluator.h"
#include "simulator/kernel/netlist.h"

// CIRCUIT: the netlist turned into one simulated circuit. While the file is read its parts become
// components; it owns them, the net records and the engines' circuit handles from its creation in
// the load until it is deleted.
//
// This is the circuit as far as the kernel's skeleton needs it: its parts are plain components
// (the component factory picks their classes), and no build pass runs yet.

class CIRCUIT : public SDF_NETLIST, public IOPTIONS {
public:
    // Makes the SPICE circuit (newCircuit) and ties it to this circuit and the log
    // (spice_initialize); without a signed-on engine the circuit has no SPICE side.
    CIRCUIT();
    // Deletes the SPICE circuit (then spice_terminate) and ends the digital circuit when one was
    // started (pallex_terminate); then frees every part and net.
    ~CIRCUIT() override;

    // 3: the part as a component.
    SDF_COMPONENT* addcomponent(const char* name, const char* device, const PROPLIST* properties) override;

    // The digital flag: the digital engine was started for this circuit.
    bool hasdigital() const { return digital != 0; }

    // Empties the variables, adds the sweep variable (name given) and evaluates the netlist's
    // NAME=VALUE pairs in order into variables; then lets every component read its properties
    // again, gives the analog parts the FREQREF reference, and sets the SPICE node parameters
    // that net properties name.
    void setsweepvalue(const char* name, double value);

    // The value of a property text against the variables. Absent, "?" or "[NULL]" (without regard
    // to case): *result = def, false. A text that does not evaluate: *result = def, the warning
    // "Error %s parsing property %s of %s", false. Otherwise *result = the value, true.
    bool evalproperty(const char* property, const char* part, const char* text, double* result, double def);

    // IOPTIONS: the netlist option's value among the variables, and its text.
    int getoption(const char* name, double* value) override;
    const char* getoptiontext(const char* name) override { return getproperty(name); }

    VARIABLES variables { 0, DIDX::DESTROY };
    GDPA<COMPONENT> analogparts;  // not owned
    GDPA<COMPONENT> digitalparts; // not owned
    IFcircuit* spice = nullptr;
    int32_t digital = 0;
};
