#pragma once

#include "engines/pallex/circuit.h"
#include "engines/pallex/state.h"

#include <cstdint>

// The digital engine's exports. Every call returns non-zero on success and 0 on failure unless said
// otherwise. Nets are named by the kernel's net names, compared exactly. Times are seconds (double)
// where the argument says so and whole picoseconds (int64_t) inside the engine. The lock-step with
// the analog engine (pallex_setup ... pallex_accept) is set out in engines/CONTRACT.md.

class IINSTANCE;
class IPALLEXMODEL;
class ISIMLOG;
class IWATCHPOPUP;  // the host's watch popup; the engine only keeps it
class PROPLIST;     // the part's properties; the engine reads them through IINSTANCE instead

struct PXobject;  // a part made by pallex_create
struct PXlink;    // an analog-digital interface on a net (ADC or DAC side)

// The netlist's numeric options, as the kernel's circuit answers them.
class IOPTIONS {
public:
    // 1 and *value when the netlist sets the option and it evaluates; 0 otherwise (*value untouched).
    virtual int getoption(const char* name, double* value) = 0;
    // The option's text as the netlist gives it ("RANDOM" for INITSEED or TDSCALE); null when the
    // netlist does not set it.
    virtual const char* getoptiontext(const char* name) = 0;

protected:
    ~IOPTIONS() = default;
};

// What the engine writes into a results partition (the kernel's PARTITION implements it).
class IPARTITION {
public:
    // One digital sample of `words` 32-bit STATE words at `time` (seconds) into channel `channel`.
    virtual void writedigital(double time, int32_t channel, const void* data, int32_t words) = 0;

protected:
    ~IPARTITION() = default;
};

// One interface object the engine asks the kernel to make on a mixed net.
struct PXinterface {
    const char* name;  // the digital part the interface serves; the kernel names it "%s_ADC#%04d" or
                       // "%s_DAC#%04d" and finds its power interface by this prefix
    PXlink* link;      // as pallex_linkadc or pallex_linkdac would give it
};

inline constexpr int32_t PX_MAXINTERFACES = 1024;

extern "C" {

// Sign-on: the output file descriptor (already standard output), the log and the host's watch popup
// (null in a batch run). May be called again at every sign-on.
int pallex_signon(int output, ISIMLOG* log, IWATCHPOPUP* watch);
// Starts a digital circuit for the kernel's circuit (which answers the options INITSEED, TDSCALE,
// TDSEED, TDLOWER, TDUPPER; read at pallex_setup) and gives its interface.
int pallex_initialize(IOPTIONS* circuit, IPALLEXCKT** interface);
// Frees the digital circuit and everything made in it; nothing when none exists.
int pallex_terminate();
// A part of the given type ("INTMODEL", "EXTMODEL", "DUMMY", "SWITCH", "DPROBE" or a primitive
// type) for the instance; the engine then calls model->bindpallex (model may be null). 0 for an
// unknown type.
int pallex_create(IINSTANCE* instance, const char* type, PROPLIST* properties, IPALLEXMODEL* model,
    PXobject** handle);
// Connects a pin of the part to a net (made on first use) with the netlist's pin type; *pin (when
// `pin` is not null) gets the pin. 0 when the part has no such pin.
int pallex_connect(PXobject* handle, const char* name, int32_t pintype, const char* net, IPALLEXPIN2** pin);
// Marks a net as a supply or ground rail named by `text` ("+5", "GND", ...) with pin type PT or PR.
int pallex_connectpower(const char* text, int32_t pintype, const char* net);
// A bus pin over `width` pins of the instance named `bus`.
int pallex_getbuspin(IINSTANCE* instance, const char* bus, IPALLEXPIN2** pins, int32_t width, int32_t flag,
    IBUSPIN** out);
// The ADCs a mixed net needs (one per digital part reading it): at most `max` pairs, their number in
// *count. 0 on failure.
int pallex_createadcs(const char* net, PXinterface* pairs, int32_t max, int32_t* count);
// The DACs a mixed net needs (one per digital part driving it), as pallex_createadcs.
int pallex_createdacs(const char* net, PXinterface* pairs, int32_t max, int32_t* count);
// An ADC link that drives the net's digital side.
int pallex_linkadc(const char* net, PXlink** link);
// The ADC drives `state` from the present digital time on.
int pallex_postadc(PXlink* link, STATE state);
// A DAC link that reads the net's digital side; `edge` (may be null) is the DAC's present output
// edge in seconds, which the engine may read and never writes.
int pallex_linkdac(const char* net, double* edge, PXlink** link);
// The state the DAC reads and the time (seconds) it took that state.
int pallex_polldac(PXlink* link, STATE* state, double* time);
// *state points at the net's live state; 0 when the net is not digital.
int pallex_linknet(const char* net, STATE** state);
// The present state of pin `pin` (index in connection order) of the part.
int pallex_peekpin(PXobject* handle, int32_t pin, STATE* state);
// Drives pin `pin` of the part with `state` from `time` (seconds) on.
int pallex_pokepin(PXobject* handle, int32_t pin, double time, STATE state);
// A "SWITCH" part closes (1) or opens (0) at `time` (seconds).
int pallex_actuate(PXobject* handle, double time, int32_t closed);
// The two nets become one.
int pallex_mergenets(const char* net1, const char* net2);
// The engine records the states of the probe part's pins into channel `channel` of the partition,
// from the present state on.
int pallex_linkprobe(PXobject* probe, IPARTITION* partition, int32_t channel);
// Writes the recorded samples up to `time` (seconds). A partition takes its samples in time order,
// so the samples of every probe are written, merged in time, whether one probe or none (null) is
// named.
int pallex_writedata(double time, PXobject* probe);
// Lock-step hooks, reached through front-end slots 15 to 19 (engines/CONTRACT.md).
// At the start of an analysis that solves an operating point or steps in time: digital time 0,
// initial states, every model's simulate(0, SIM_FIRST).
int pallex_setup();
// Before DCtran goes on with a transient that the pause test or a break stopped.
int pallex_resume();
// After each analog solution of an operating point: the digital side settles at time 0 (delays
// counted as zero when `settle`, else only the events due at 0 run); *changes = the DAC links and
// the nets at models' pins whose state changed. 3 instead of 1 when a break was asked.
int pallex_bootstep(int first, int settle, int* changes);
// Before the analog engine steps to `time`: *next = the latest time it may reach without missing a
// digital change the analog side sees: the next pending event while DAC links or models exist,
// else +HUGE_VAL (also when nothing is pending).
int pallex_timestep(double time, double* next);
// At a converged analog point `time`: models' simulate(SIM_ANALOG), their time-point requests passed
// on through `request`, then the digital events up to `time`. 1 committed; 2 not committed (a model
// asked for a point before `time`: the analog engine retakes the step to the earliest request);
// 3 committed and a break was asked.
int pallex_accept(double time, void* context, void (*request)(void* context, double time));
// A delay property of the instance in picoseconds (the property in seconds, scaled by TDSCALE and
// scattered by TDSEED between TDLOWER and TDUPPER); `def` when absent.
int64_t getdelay(IINSTANCE* instance, const char* property, int64_t def);
// The initial value property of the instance (random from INITSEED where the property asks for it);
// `def` when absent.
int32_t getinitval(IINSTANCE* instance, const char* property, int32_t def);

}
