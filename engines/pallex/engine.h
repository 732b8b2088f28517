#pragma once

#include "engines/pallex/circuit.h"
#include "engines/pallex/primitives.h"
#include "engines/pallex/queue.h"
#include "engines/pallex/resolve.h"
#include "engines/pallex/state.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class IINSTANCE;
class IOPTIONS;
class IPALLEXMODEL;
class IPARTITION;
class ISIMLOG;

namespace pallex {

inline constexpr uint32_t NONE = 0xFFFFFFFFu;
class Engine;

// A connected pin as models see it; its state is that of its net.
class Pin final : public IPALLEXPIN2 {
public:
    STATE getstate() override;
    int ishigh() override;
    int setstate(int64_t time, STATE state) override;

    Engine* engine = nullptr;
    std::string name;
    int32_t pintype = 0;
    uint32_t part = NONE;
    uint32_t net = NONE;
    uint32_t driver = NONE;  // NONE: the pin only reads
    PinRole role;
};

// Several pins of one instance handed out as a bus.
class Bus final : public IBUSPIN {
public:
    std::vector<IPALLEXPIN2*> pins;
    std::string name;
};

}  // namespace pallex

// A part made by pallex_create.
struct PXobject {
    uint32_t id = 0;
    pallex::Kind kind = pallex::Kind::DUMMY;
    std::string type;
    IINSTANCE* instance = nullptr;   // borrowed from the kernel
    IPALLEXMODEL* model = nullptr;   // borrowed; null for the engine's own kinds
    std::vector<uint32_t> pins;      // in connection order
    // A DPROBE's recording: samples of every pin's state, each at its time (ps).
    IPARTITION* partition = nullptr;  // borrowed
    int32_t channel = 0;
    std::vector<int64_t> sampletimes;
    std::vector<STATE> samples;
    // PATTERN words.
    std::vector<uint32_t> words;
};

// An analog-digital interface on a net: an ADC drives the net (weakly, as its states say), a DAC
// reads it, or only the drivers of one part on it when made by pallex_createdacs.
struct PXlink {
    bool adc = false;
    uint32_t net = pallex::NONE;
    uint32_t driver = pallex::NONE;        // ADC
    std::vector<uint32_t> drivers;         // DAC of one part; empty: the whole net
    double* edge = nullptr;                // the DAC's edge time; read, never written
    std::string served;                    // the part the interface serves
};

namespace pallex {

struct Driver {
    STATE applied;
    STATE pending;  // NOPENDING when nothing is on its way
    uint32_t net;
    uint32_t generation;  // entries of the queue with another one are superseded
    int64_t changed;      // when `applied` last changed
};

// A net in one cache line's half: its state (whose address pallex_linknet hands out), where its
// drivers and readers are listed, and when its state last changed.
struct alignas(32) Net {
    STATE state;
    uint8_t dirty;     // a driver changed in this step
    uint8_t mirrored;  // merged-away nets follow its state
    uint32_t firstdriver;
    uint32_t drivers;
    uint32_t firstreader;
    uint32_t readers;
    int64_t changed;
};

// The nets, at addresses that never move.
class NetTable {
public:
    Net& operator[](uint32_t index) { return chunks[index >> SHIFT][index & MASK]; }
    const Net& operator[](uint32_t index) const { return chunks[index >> SHIFT][index & MASK]; }
    void grow(uint32_t count);

private:
    static constexpr uint32_t SHIFT = 10;
    static constexpr uint32_t MASK = (1u << SHIFT) - 1;
    std::vector<std::unique_ptr<Net[]>> chunks;
};

// A part as the run loop sees it.
struct alignas(64) Component {
    Kind kind;
    uint8_t queued;
    uint8_t lastclock;  // the clock input's last known level; UNKNOWN when none was known yet, NOCLOCK before the first evaluation
    uint8_t flags;      // UNDEFINED, REPEAT, CLOSED
    uint32_t firstinput;
    uint32_t inputs;
    uint32_t firstoutput;
    uint32_t outputs;
    uint32_t part;
    int64_t rise;
    int64_t fall;
    int64_t off;
    uint64_t word;  // flip-flop and latch level, count, shift register bits, clock phase, pattern
                    // position
    int64_t aux;    // PATTERN: the step; COUNTER: the outputs it last scheduled; SHIFTREG: its
                    // undefined bits (CLOCK: high time in `rise`, low time in `fall`)
};

inline constexpr uint8_t NOCLOCK = 3;

// A clock that passes through the undefined state between two levels makes its edge when it reaches
// the new level (a slow analog edge through an ADC); only a rise from a clock never known is a
// maybe edge.
enum class ClockEdge : uint8_t { NONE, RISING, MAYBE };
inline constexpr uint8_t UNDEFINED = 1;  // the state word is undefined
inline constexpr uint8_t REPEAT = 2;     // a PATTERN starts over after its last word
inline constexpr uint8_t CLOSED = 4;     // a SWITCH closed by pallex_actuate
inline constexpr STATE NOPENDING = 0xFFFFFFFFu;

// Something asked for at a time: a model's callback, a switch's actuation or a drive of a pin.
// Drives asked for this way keep their order (transport), unlike a primitive's outputs.
enum class Request : uint8_t { CALLBACK, ACTUATE, DRIVE };

struct Asked {
    int64_t time;
    Request what;
    IPALLEXMODEL* model;  // CALLBACK
    intptr_t value;       // CALLBACK: the model's value; ACTUATE: closed
    uint32_t part;        // ACTUATE
    uint32_t driver;      // DRIVE
    STATE state;          // DRIVE
    uint64_t sequence;    // the order of asking, which orders entries of one time
};

struct Statistics {
    uint64_t events = 0;       // driver changes applied
    uint64_t evaluations = 0;  // components evaluated
};

class Engine final : public IPALLEXCKT {
public:
    explicit Engine(IOPTIONS* circuit);

    // IPALLEXCKT.
    int64_t gettime() override { return now; }
    int setcallback(int64_t time, IPALLEXMODEL* model, intptr_t value) override;
    void suspend(IINSTANCE* owner, const char* text) override;
    void requesttime(int64_t time) override;

    // Building.
    PXobject* create(IINSTANCE* instance, Kind kind, const char* type, IPALLEXMODEL* model);
    // 0 when the part has no pin of that name.
    int connect(PXobject* part, const char* name, int32_t pintype, const char* net, IPALLEXPIN2** pin);
    // 0 when the text names no rail.
    int connectpower(const char* text, const char* net);
    int mergenets(const char* first, const char* second);
    // The net of that name; NONE when the engine has none.
    uint32_t findnet(const char* name) const;
    STATE* netcell(uint32_t net);
    PXlink* linkadc(uint32_t net, std::string served);
    PXlink* linkdac(uint32_t net, double* edge, std::string served, std::vector<uint32_t> drivers);
    // The parts with a pin on the net that reads it (readers) or drives it; each part once.
    std::vector<PXobject*> partson(uint32_t net, bool readers);
    std::vector<uint32_t> driversof(const PXobject* part, uint32_t net);
    Pin* pinof(PXobject* part, int32_t index);

    // Running.
    int setup();
    // The run to `time` (ps) inclusive; settle counts propagation delays as zero.
    void run(int64_t time, bool settle);
    // Schedules a driver; a time before now means now.
    void schedule(uint32_t driver, STATE state, int64_t time);
    void post(uint32_t driver, STATE state, int64_t time);
    int actuate(PXobject* part, int64_t time, bool closed);
    STATE linkstate(const PXlink* link);
    int64_t linkchanged(const PXlink* link);
    int64_t nextevent();
    void sample(PXobject* probe);
    void linkprobe(PXobject* probe, IPARTITION* partition, int32_t channel);
    // Writes the samples of every linked probe up to `time` (ps) in time order.
    void writedata(int64_t time);

    // The lock-step with the analog engine.
    int bootstep(bool first, bool settle, int* changes);
    int accept(int64_t time, void* context, void (*request)(void*, double));
    // Whether the analog side sees digital changes: through DAC links, or through models, whose
    // analog side may follow their digital pins.
    bool analogreads() const;

    std::vector<std::unique_ptr<PXobject>> parts;
    std::vector<PXobject*> modelled;  // the parts with a model, which the engine calls
    std::vector<PXobject*> probes;    // the probes linked to a partition
    std::deque<Pin> pins;
    std::deque<PXlink> links;
    std::deque<Bus> buses;
    Statistics statistics;
    int64_t now = 0;
    bool breakasked = false;

private:
    friend class Pin;
    uint32_t net(const char* name);
    uint32_t newdriver(uint32_t net, STATE state);
    uint32_t root(uint32_t net) const;
    void compile();
    void readproperties(PXobject* part, Component& component);
    void start(PXobject* part, Component& component);
    void queue(uint32_t index)
    {
        Component& component = components[index];
        if (component.queued)
            return;
        component.queued = 1;
        evaluations.push_back(index);
    }
    // The events and evaluations at `now`, step after step; false when they never come to rest.
    bool step();
    void resolve(uint32_t net);
    void evaluate(uint32_t component);
    // The drives due now, in the order they were asked for; the callbacks and actuations are left.
    void applydrives();
    void runcallbacks();
    void schedulewithdelay(const Component& component, uint32_t output, STATE state);
    void timer(uint32_t component, int64_t time);
    void drive(uint32_t output, STATE state);
    // A driver takes `state` now, in the step under way.
    void apply(uint32_t driver, STATE state);
    // The level of a fixed input; `absent` when it is not connected.
    Level input(const Component& component, uint32_t slot, Level absent) const
    {
        uint32_t index = componentinputs[component.firstinput + slot];
        return index == NONE ? absent : levelof(nets[index].state);
    }
    void evaluategate(Component& component);
    void evaluatetristate(Component& component);
    void evaluateflipflop(Component& component);
    static ClockEdge clockedge(Component& component, Level clock);
    void evaluatelatch(Component& component);
    void evaluatecounter(Component& component);
    void evaluateshifter(Component& component);
    void selectof(const Component& component, uint32_t first, uint32_t* select, uint32_t* unknown) const;
    void evaluatemux(Component& component);
    void evaluatedecoder(Component& component);
    void evaluateclock(Component& component, uint32_t index);
    void evaluatepattern(Component& component, uint32_t index);
    void evaluateswitch(Component& component);
    void setlevel(Component& component, Level q);
    STATE exclude(uint32_t net, uint32_t driver);

    IOPTIONS* circuit;  // borrowed from the kernel
    bool compiled = false;
    bool settling = false;
    bool staging = false;

    // Nets.
    std::unordered_map<std::string, uint32_t> netindex;
    std::vector<std::string> netnames;
    std::vector<uint32_t> aliases;  // a merged net's root, else itself
    NetTable nets;
    std::vector<std::vector<uint32_t>> mirrors;  // merged-away nets whose states follow the root's
    std::vector<uint32_t> netdrivers;
    std::vector<uint32_t> netreaders;
    std::vector<uint32_t> modelnets;  // the nets at the pins of parts with models, each once

    // Drivers.
    std::vector<Driver> drivers;
    std::vector<STATE> driverinitial;

    // Components.
    std::vector<Component> components;
    std::vector<uint32_t> componentinputs;   // nets; NONE for an unconnected fixed input
    std::vector<uint32_t> componentoutputs;  // drivers; NONE for an unconnected output

    // The run.
    EventQueue events;
    std::vector<Asked> asked;
    std::vector<uint32_t> freeasked;
    uint64_t sequence = 0;
    std::vector<uint32_t> dirtynets;
    std::vector<uint32_t> evaluations;
    std::vector<uint32_t> duecalls;
    std::vector<uint32_t> scratch;
    bool started = false;  // a set-up ran: drives and callbacks asked for before it wait for it
    std::vector<int64_t> requests;
    std::vector<Asked> staged;  // asked for while the analog point may still be retaken
    std::vector<Asked> prerun;  // asked for before the first set-up; replayed at every set-up
    // Queues what was asked for, or keeps it aside until the set-up or until the analog point is
    // accepted.
    void ask(Asked asked);
    void commit(Asked asked);
};

// The circuit pallex_initialize made; null before and after.
Engine* engine();
void setengine(std::unique_ptr<Engine> made);
// The log of the last sign-on; null before.
ISIMLOG*& simlog();
// Writes a message of class `cls` ('I', 'W', 'E') through the log; nothing without one.
void logf(int cls, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace pallex
