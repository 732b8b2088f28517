#pragma once

#include "core/containers/didx.h"
#include "core/containers/dpa.h"
#include "engines/nerith/descriptor.h"
#include "simulator/kernel/netlist.h"

#include <cstdint>
#include <string>

// COMPONENT: a part of the simulated circuit. It knows which of its pins belong to the analog
// (SPICE) side and which to the digital side, marks the nets at its pins, names the nets it joins
// for DC purposes, and writes the watch record the host shows when the user inspects the part.
// The factory creates the concrete classes; the circuit builder drives the slots in its passes.

class CIRCUIT;
class IINSTANCE;
class PARTITION;
struct ACTIVEEVENT;
struct INPtables;

// Net flag bits (the 32-bit word of a net record, netlist.h).
constexpr uint32_t NET_ANALOG = 0x01;     // an analog pin is on the net
constexpr uint32_t NET_READ = 0x02;       // a digital pin that reads the net is on it
constexpr uint32_t NET_DRIVEN = 0x04;     // a digital pin that drives the net is on it
constexpr uint32_t NET_POWER = 0x08;      // a supply or ground net
constexpr uint32_t NET_MIXED = 0x40;      // analog and digital
constexpr uint32_t NET_USED = 0x80;       // some part has classified a pin on it
constexpr uint32_t NET_DIGITAL = NET_READ | NET_DRIVEN;

// One row of the primitive type table: what a part of that type is and how its pins, DC paths and
// watch record read. The SPICE type index and descriptor are found once, on first use.
struct PRIMITIVE {
    const char* name;
    const char* spicetype;     // the engine's device type; null when none
    int32_t kind;              // class selector; the kind without its low 8 bits selects the group
    int32_t spiceindex;        // -1 until looked up
    const IFdevice* device;    // null until looked up
    const char* valuekeyword;  // the SPICE instance parameter that takes the part's value
    const char* modelflag;     // NAME=TRUE for the part's SPICE model
    const char* pinorder;      // pin letters in pin-number order; ';' starts a second numbering
    const char* dcpaths;       // "*", "G" or digit groups such as "12,34"
    const char* watch;         // voltage entries, then after ';' current and power entries
};

// One block of model data that parts point into through their MODDATA property.
struct MODDATABLOCK {
    const void* data;
    int32_t length;
};

constexpr int32_t KIND_VPROBE = 0x3000;
constexpr int32_t KIND_IPROBE = 0x4000;

constexpr int MAXWATCHPINS = 40;

class COMPONENT : public SDF_COMPONENT {
public:
    // name cut to 127 characters; with a model record the properties are the model's followed by
    // the part's (the part's win), else a copy of the part's. A row with a SPICE type not looked up
    // yet is looked up in the engine's device list; a type the engine lacks is fatal.
    COMPONENT(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);
    // 0: frees pins and properties.
    ~COMPONENT() override;
    // 2: maps a one-letter pin name through the row's pin order, adds the pin (second name: the
    // name the netlist gave) and classifies it.
    SDF_PIN* addpin(const char* name, SDF_PINTYPE type, char* net) override;
    // 3: ORs what the pin is into its net's flags.
    virtual void classifypin(SDF_PIN* pin);
    // 4, 5, 6: whether the pin is analog, digital, or either with its net deciding; 0 here.
    virtual int isanalogpin(SDF_PIN* pin);
    virtual int isdigitalpin(SDF_PIN* pin);
    virtual int isdualpin(SDF_PIN* pin);
    // 7: the element id: the EID property (hexadecimal) of the part or of its closest owner; 0
    // without a circuit or when none has one.
    virtual uint32_t geteid();
    // 8: expands a subcircuit into the deck; nothing here.
    virtual void expand(void* deck);
    // 9, 10: bind the part to the engines; nothing here.
    virtual void bindmodel(INPtables* table, IFcircuit* circuit);
    virtual void bindpins(IFcircuit* circuit);
    // 11: set-up before each run: the MODDATA property "name,offset,length" points the model data
    // at offset into the first block of the list (MODDATABLOCK items); a span that does not lie
    // inside the block, or an empty list, leaves the part without model data.
    virtual void bindmoddata(const DPA* moddata, DIDX* partitions);
    // 12: non-zero (with *self set) when the part is a power interface; 0 here.
    virtual int powerinterface(COMPONENT** self);
    // 13: links the given part's IINSTANCE (null clears); non-zero when the part takes a power
    // interface; 0 here.
    virtual int setlink(COMPONENT* part);
    // 14: ORs mask into the nets of dual pins when one dual pin's net has it already (nets with
    // any exclude bit untouched); 1 when a net changed.
    virtual int claimpins(uint32_t mask, uint32_t exclude);
    // 15: adds to index the nets this part joins to `net` for DC purposes (never `net` itself).
    virtual void adddcpaths(int all, DIDX* index, char* net);
    // 16: adds to *count this part's pins on the net: kind 0 for batteries, 1 for inductors.
    virtual void countpins(char* net, int kind, int32_t* count);
    // 17: binds the owning circuit; subclasses read their properties (again before each run).
    // Before a run the circuit passes a DIDX of the SPICE models set up so far in the pass.
    virtual void initialise(CIRCUIT* circuit, void* argument);
    // 18: before each run on analog parts with the FREQREF property's value; nothing here.
    virtual void setreference(const char* name, IFcircuit* circuit);
    // 19: may lower the transient's largest step and break-point spacing; nothing here.
    virtual void limitsteps(double* tmax, double* minbreak);
    // 20: the SPICE instance's branch equation; 0 here.
    virtual int32_t getbranch(IFcircuit* circuit, const char* name);
    // 21: whether the part records the noise of `net` (a noise plot of data type `type`); 0 here.
    virtual int joinnoise(char* net, int32_t type);
    // 22: whether the part takes part in a plot of these names; 0 here.
    virtual int joinplot(IFuid* names, int32_t count, int32_t type);
    // 23, 24: one data point of a plot; nothing here.
    virtual void writereal(double reference, const double* values, int32_t count);
    virtual void writecomplex(double reference, const IFcomplex* values, int32_t count);
    // 25: one noise point: squared output and input densities at values[output] and
    // values[input] (count values; an index of -1 means the plot lacks it); nothing here.
    virtual void writenoise(double frequency, const double* values, int32_t count, int32_t output, int32_t input);
    // 26: the part's watch record: its terminals and parameters between beginrecord and endrecord.
    // nodes holds the names of the solution's nodes, values their voltages (index 0: ground).
    virtual void watchpopup(const DPA* nodes, const double* values, IFcircuit* circuit, PARTITION* partition);
    // 27: terminal voltages, logic states and relative voltages.
    virtual void watchterminals(const DPA* nodes, const double* values, IFcircuit* circuit, PARTITION* partition);
    // 28: the SPICE instance's parameters; nothing here.
    virtual void watchparameters(IFcircuit* circuit, PARTITION* partition);
    // 29, 30: the interactive run's mode and user events; nothing here.
    virtual void setrunmode(int32_t mode);
    virtual void userevent(int32_t id, double time, int32_t data);
    // 31: appends the part's changed event records; non-zero when the part has events. 0 here.
    virtual int activeevents(double time, DPA* list);

    // The pin of that name (without regard to case); null when absent.
    SDF_PIN* findpin(const char* pinname) const { return pins[pinname]; }

    // The VALUE property's text; null when absent.
    const char* getvalue() const { return properties["VALUE"]; }
    // The first field of the PRIMITIVE property equals `word` without regard to case.
    bool primitiveis(const char* word) const;

    PRIMITIVE* row;               // null for parts made without a table row
    IINSTANCE* link = nullptr;    // the linked instance (setlink)
    const void* moddata = nullptr;
    int32_t moddatalength = 0;
    CIRCUIT* circuit = nullptr;   // the owning circuit, from initialise

private:
    // The part's pin number of a one-letter name under the row's pin order; 0 when none.
    int pinnumber(char letter) const;
    // The pin standing n-th (from 1) in the pin index; null when there is none.
    SDF_PIN* nthpin(int n) const { return pins.ptr(n - 1); }
    void addpinnets(DIDX* index, const char* except, const char* group);
};

// A part with no model: its pins are never classified.
class DUMMY : public COMPONENT {
public:
    using COMPONENT::COMPONENT;
    void classifypin(SDF_PIN* pin) override;
};

// The pin holder of a part that a shared script model serves: every pin the netlist gives it goes
// to the script model, as a bidirectional pin.
class SCRIPTDUMMY : public COMPONENT {
public:
    // The DUMMY row and the part's properties; `model` belongs to the circuit.
    SCRIPTDUMMY(const char* name, PRIMITIVE* row, const PROPLIST* properties, COMPONENT* model);
    // 2: the script model's new pin (pin type IO); the dummy keeps none.
    SDF_PIN* addpin(const char* name, SDF_PINTYPE type, char* net) override;

    COMPONENT* model;
};

// The name of a part relative to another: `name` within the other's subcircuit scope, i.e. the
// other's name up to and including its last '_' followed by `name` ("X1_Q3" and "V5" give
// "X1_V5"; "Q3" gives "V5").
std::string relativename(const char* part, const char* name);
