#pragma once

#include "core/text/evaluator.h"
#include "engines/mavro/mavro.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/component.h"
#include "simulator/kernel/netlist.h"

#include <string>
#include <vector>

// CIRCUIT: the netlist turned into one simulated mixed-mode circuit. While the file is read its
// parts become components through the factory (factory.cpp) and power terminals make supply
// generators and mark the ground and supply nets; build() then classifies the nets, gives the SPICE
// engine its nodes, binds every part to the engines, puts interface objects on mixed nets and makes
// sure every analog net has a DC path to ground (circuitbuild.cpp). The circuit owns every part
// (through the part index), every net record and the engines' circuit handles from its creation in
// the load until it is deleted; its part lists only refer to parts.
//
// Net names of the ground ("GND", "VSS") and the supply ("VCC", "VDD") are compared without regard
// to case; nets named VSS and VDD are the GND and VCC records.

// Names of the parts the circuit makes itself.
constexpr const char* GENERATORNAME = "PR%04d_%s"; // supply generators: counter, terminal text
constexpr const char* GROUNDRESISTORNAME = "ER#%04d"; // ground resistors: the net's analog position
constexpr const char* ADCNAME = "%s_ADC#%04d"; // interface objects: the digital part served, counter
constexpr const char* DACNAME = "%s_DAC#%04d";

// The default conductance of a ground resistor (siemens), when GEARTH does not give one.
constexpr double DEFAULTGEARTH = 1e-8;

class CIRCUIT : public SDF_NETLIST, public IOPTIONS {
public:
    // Makes the SPICE circuit (newCircuit) and ties it to this circuit and the log
    // (spice_initialize); without a signed-on engine the circuit has no SPICE side. Every row of
    // the primitive table looks its SPICE device type up again for this circuit.
    CIRCUIT();
    // Deletes the SPICE circuit (then spice_terminate) and ends the digital circuit when one was
    // started (pallex_terminate); then frees every part and net.
    ~CIRCUIT() override;

    // 1: the model, unless one of its name is defined already: parts may be bound to that one, so
    // it is kept, with a warning (factory.cpp).
    SDF_MODEL* addmodel(const char* name, const PROPLIST* properties) override;
    // 3: the factory: the part as the component its primitive row names (factory.cpp).
    SDF_COMPONENT* addcomponent(const char* name, const char* device, const PROPLIST* properties) override;
    // 4: the net of that name; VSS and VDD (any case) are taken as GND and VCC, with an information
    // line each time.
    char* getnet(const char* name) override;
    // 7: a power terminal or rail (PT, PR) whose text begins with '+' or '-' makes a supply
    // generator on the net and returns its pin; every PT and PR marks the net as power. The first
    // net of a GND or VSS entry becomes the ground net, of a VCC or VDD entry the supply net. Other
    // entries return null.
    SDF_PIN* connect(char* net, const char* text, SDF_PINTYPE type) override;
    // 8: ends the net; the ground and the supply net lose their analog and digital marks and are
    // power nets that are used.
    void endnet(char* net) override;

    // The component factory (slot 3). Null when the row's kind makes no part, and for a name that
    // a part has already: the first part is kept (a warning says so). An unknown primitive type or
    // SPICE device type is fatal.
    COMPONENT* createcomponent(const char* name, const char* device, const PROPLIST* properties);
    // The script model of a part with a SCRIPT property (kind 0xD000); null when nothing is made
    // for the part itself (a script that is no program or generator, or a generator script whose
    // shared model exists already).
    COMPONENT* createscriptmodel(
        const char* name, const char* script, const SDF_MODEL* model, const PROPLIST* properties);

    // Builds the mixed circuit once the netlist is read (table: the parser's symbol table).
    // Failures are log messages; refused interface objects are fatal.
    void build(INPtables* table);

    // The digital flag: the digital engine was started for this circuit.
    bool hasdigital() const { return digital != 0; }

    // The part that carries the ACTIVE property for `part`: itself, else the closest owner found by
    // cutting the name at its last '_'; null when none has one.
    COMPONENT* getactive(COMPONENT* part) const;
    // The closest existing owner of `part` (a part whose name is a '_'-prefix of its name); null
    // when none exists.
    COMPONENT* getparent(COMPONENT* part) const;
    // The part of that name; null when absent.
    COMPONENT* findcomponent(const char* name) const { return static_cast<COMPONENT*>(findpart(name)); }

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

    GDIDX<VARIABLE<double>> variables { 0, DIDX::DESTROY };
    GDPA<COMPONENT> analogparts; // not owned: parts with analog or dual pins, generators,
                                 // ground resistors and (after the build) interface objects
    GDPA<COMPONENT> digitalparts; // not owned: parts with digital or dual pins
    GDPA<COMPONENT> interfaceparts; // not owned: the ADC and DAC objects of mixed nets
    char* groundnet = nullptr; // the GND net record; null until found
    char* supplynet = nullptr; // the VCC net record; null until found
    int32_t analog = 0; // 1 once a part with analog pins or a supply generator exists
    int32_t digital = 0; // 1 once the digital engine was started for this circuit
    DIDX analognets; // the nets the SPICE engine sees
    DIDX digitalnets; // the nets the digital engine sees
    IFcircuit* spice = nullptr;
    IFnode* groundnode = nullptr; // the SPICE node of the ground net
    int32_t generators = 0; // counters of the names of the parts the circuit makes
    int32_t dacs = 0;
    int32_t adcs = 0;

private:
    // Registers a part the factory made: the analog flag, the digital engine for the first digital
    // part, the part lists, the part index.
    void registerpart(COMPONENT* part);
    // The supply generator of a power entry, with its pin on the net.
    SDF_PIN* addgenerator(char* net, const char* text);
    // The ADC and DAC objects that the digital engine asks for on a mixed net.
    void createinterfaces(char* net);
    // Hands every interface object its power interface, or supply pins on the supply and ground.
    void linkpowerinterfaces();
    // Gives every analog net that cannot reach ground through DC paths a resistor to ground.
    void adddcpaths(INPtables* table);
    // Marks the analog nets that DC paths join to `start` (the ground net, or a net that just got
    // its resistor to ground); marked and positions are indexed by analog position and net id,
    // parts lists per net id the parts with a pin on it.
    void markdcpaths(char* start, std::vector<char>& marked, const std::vector<int32_t>& positions,
        const std::vector<std::vector<COMPONENT*>>& parts) const;
};
