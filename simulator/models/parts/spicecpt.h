#pragma once

#include "simulator/kernel/instance.h"

#include <string>

// SPICECPT: a part that the SPICE engine simulates as one instance of one model of the device type
// its primitive row names (resistors, diodes, transistors, sources, lines, switches). Every pin is
// analog. Binding finds or makes the model and makes the instance; before each run the part hands
// the model and instance parameters to the engine; its watch record lists the device's askable
// instance parameters that the row's watch text names. Capacitors and inductors are plain SPICE
// parts; the generators and the current probe derive from it.

class SPICECPT : public INSTANCE {
public:
    // The part on its row, with a copy of its own properties; the netlist model (null: none) is kept
    // apart, its properties are not merged in. A row whose device type the engine lacks is fatal.
    SPICECPT(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    // 4: every pin is analog.
    int isanalogpin(SDF_PIN* pin) override;
    // 9: the model (the SPICEMODEL the parser read, else the netlist model's name or the row's
    // name, or the part's own name when one of its properties is a model parameter), then the
    // instance named after the part, then the pins. Refusals are reported and leave the part unbound.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 10: each analog pin in pin order, up to the device's terminal count, on the terminal its name
    // gives (as a decimal number); missing nodes and refused bindings are warned about.
    void bindpins(IFcircuit* circuit) override;
    // 17: the parameters, before each run. `models` (a DIDX of model names, may be null) lists the
    // models set up in this pass over the parts: a model's parameters are set once per pass, by its
    // first part. Then the instance parameters the properties name, then the VALUE into the row's
    // value keyword ("Value expected for %s" when that fails).
    void initialise(CIRCUIT* circuit, void* models) override;
    // 20: the instance's branch equation (counted from 1); 0 when it has none or is not bound.
    int32_t getbranch(IFcircuit* circuit, const char* name) override;
    // 28: the askable instance parameters the row's watch text names (after its ';').
    void watchparameters(IFcircuit* circuit, PARTITION* partition) override;

    // The instance parameter of that keyword asked of the engine, as a real; false when the device
    // has no askable parameter of that keyword, the part is not bound or the engine refuses.
    bool askparam(const char* keyword, IFcircuit* circuit, double* value);

    const SDF_MODEL* model; // the netlist model; owned by the circuit; null when none
    std::string modelname; // the engine's name of the model; empty until bound
    IFmodel* spicemodel = nullptr; // the engine's; null until bound
    IFinstance* spiceinstance = nullptr; // the engine's; null until bound

protected:
    // The engine's model called modelname of the row's device type (the one the engine has of that
    // name, or a new one); false, with the error logged and no model, when the engine refuses.
    bool makemodel(IFcircuit* circuit);
    // The engine's instance of spicemodel named after the part, then its pins; false, with the
    // error logged and no instance, when the engine refuses.
    bool makeinstance(IFcircuit* circuit);

    // The model parameters (once a pass, as initialise) and the instance parameters the properties
    // name; expression parameters are left to the parts that build them. False when the part is not
    // bound, so there was nothing to set.
    bool readparameters(CIRCUIT* circuit, void* models);

    // The engine's circuit the part was bound in; null until bound.
    IFcircuit* spice = nullptr;

private:
    // Sets every model parameter of the device that the list names (owner: the model's name).
    void setmodelparameters(const PROPLIST& list);
    // Converts and sets one parameter, traced on standard output at DEBUG_LOAD level 2; false when
    // the text gave no value (the engine's answer is not looked at).
    bool setparameter(const IFparm& parameter, const char* text, const char* owner, bool instance);
};
