// COUNTER, the example model library: one mixed model, a binary counter whose count also drives an
// analog output as a staircase. It shows what a model library does (modelentries.h): its entries,
// a model serving both engines through one object, pins found through the part's services, and
// the lock-step of its two sides.
//
// Model type "COUNTER". Pins: CLK (counts on each rising edge), RST (high clears; may be left
// out), Q0 .. Q<WIDTH-1> (the count; any may be left out) and OUT (analog).
// Properties: WIDTH (bits, 4, 1 to 16), INIT (starting count, 0), TD (delay from CLK or RST to the
// outputs, 10 ns), VFS (OUT at the full count, 5 V), ROUT (output resistance, 100 ohm; OUT drives
// VFS * count / (2^WIDTH - 1) through it), TRISE (time OUT takes for a step, 1 ns).
// A user event of the interactive run loads its value as the count; the count is the part's
// animation value.
#include "engines/contract/instance.h"
#include "engines/nerith/circuit.h"
#include "engines/pallex/circuit.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/models/extmodel/modelentries.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <strings.h>
#include <vector>

namespace {

bool ishigh(IPALLEXPIN2* pin)
{
    return pin && (pin->getstate() & STATE_LEVEL) == STATE_HIGH;
}

class Counter final : public IMIXEDMODEL {
public:
    // ISPICEMODEL: OUT alone is analog.
    int analogpin(const char* pin) override { return !pin || strcasecmp(pin, "OUT") == 0; }

    void bindspice(IINSTANCE* part, ISPICECKT* circuit) override
    {
        read(part);
        spice = circuit;
        node = part->getspicenode("OUT", 1);
        conductance = node > 0 ? spice->element(node, node) : nullptr;
    }

    void runmode(int32_t) override { }

    // A user event: the value is the new count.
    void setstate(double time, int32_t data) override
    {
        load(static_cast<int64_t>(std::llround(time * 1e12)), static_cast<uint32_t>(data));
    }

    // The count as the part's animation value, reported when it changed.
    int32_t getstate(double, ACTIVEEVENT* record) override
    {
        record->kind = ACTIVEEVENT::KIND_VALUE;
        record->value = count;
        bool changed = count != shown;
        shown = count;
        return changed ? 1 : 0;
    }

    // A Norton source: the output voltage behind ROUT, to ground.
    void loaddc(double time, uint32_t mode, const double*, double* rhs) override
    {
        if (!conductance)
            return;
        double volts = output(time);
        if (mode & (MODE_DCOP | MODE_TRANOP | MODE_DCTRANCURVE)) {
            double factor = 1;
            spice->query(&factor, QUERY_SRCFACT);
            volts = after * factor;
        }
        *conductance += 1 / rout;
        rhs[node] += volts / rout;
    }

    void loadac(double, double*, double*) override
    {
        if (conductance)
            *conductance += 1 / rout;
    }

    void limitstep(double, double*) override { }
    void acceptstep(double, const double*) override { }
    int32_t spiceevent(intptr_t) override { return 0; }

    // IPALLEXMODEL: CLK, RST and the Q outputs are digital.
    int digitalpin(const char* pin) override
    {
        if (!pin || strcasecmp(pin, "CLK") == 0 || strcasecmp(pin, "RST") == 0)
            return 1;
        return (pin[0] == 'Q' || pin[0] == 'q') && pin[1] >= '0' && pin[1] <= '9';
    }

    void bindpallex(IINSTANCE* part, IPALLEXCKT*) override { read(part); }

    void simulate(int64_t time, uint32_t mode) override
    {
        if (mode & SIM_FIRST)
            start();
        if (!(mode & SIM_EVALUATE))
            return;
        bool clock = ishigh(clk);
        bool rising = clock && !lastclock;
        lastclock = clock;
        if (ishigh(rst))
            load(time + delay, 0);
        else if (rising)
            load(time + delay, count + 1);
    }

    void callback(int64_t, intptr_t) override { }
    int32_t pallexevent(intptr_t) override { return 0; }

private:
    // The part's properties, once: both engines bind the same part.
    void read(IINSTANCE* part)
    {
        if (instance)
            return;
        instance = part;
        width = static_cast<int>(std::clamp(part->getnumval("WIDTH", 4), 1.0, 16.0));
        full = (1u << width) - 1;
        initial = static_cast<uint32_t>(part->getinitval("INIT", 0)) & full;
        delay = part->getdelay("TD", 10000);
        vfs = part->getnumval("VFS", 5);
        rout = part->getnumval("ROUT", 100);
        if (!(rout > 0)) {
            part->warning("ROUT=%g is no resistance: 100 ohm used.", rout);
            rout = 100;
        }
        trise = std::max(part->getnumval("TRISE", 1e-9), 0.0);
    }

    // A digital run starts: the pins, now connected, and the starting count on the outputs.
    void start()
    {
        clk = instance->getpallexpin("CLK", 1);
        rst = instance->getpallexpin("RST", 0);
        outputs.assign(static_cast<size_t>(width), nullptr);
        for (int bit = 0; bit < width; ++bit) {
            char name[16];
            snprintf(name, sizeof name, "Q%d", bit);
            outputs[static_cast<size_t>(bit)] = instance->getpallexpin(name, 0);
        }
        count = initial;
        shown = ~0u;
        lastclock = ishigh(clk);
        before = after = volts(count);
        edge = 0;
        drive(0);
    }

    // The count becomes `value` at `time` (ps): the outputs change then, and OUT starts its step.
    void load(int64_t time, uint32_t value)
    {
        value &= full;
        if (value == count)
            return;
        count = value;
        drive(time);
        double seconds = static_cast<double>(time) * 1e-12;
        before = output(seconds);
        after = volts(count);
        edge = seconds;
        // The analog side lands on both corners of the step.
        if (spice) {
            spice->setbreak(edge);
            if (trise > 0)
                spice->setbreak(edge + trise);
        }
    }

    void drive(int64_t time)
    {
        for (int bit = 0; bit < width; ++bit) {
            if (IPALLEXPIN2* pin = outputs[static_cast<size_t>(bit)])
                pin->setstate(time, (count >> bit) & 1 ? STATE_SHI : STATE_SLO);
        }
    }

    double volts(uint32_t value) const { return vfs * value / full; }

    // OUT at `time`: the step in progress, linear over TRISE.
    double output(double time) const
    {
        if (time < edge)
            return before;
        if (trise <= 0 || time >= edge + trise)
            return after;
        return before + (after - before) * (time - edge) / trise;
    }

    IINSTANCE* instance = nullptr;
    ISPICECKT* spice = nullptr;
    IPALLEXPIN2* clk = nullptr;
    IPALLEXPIN2* rst = nullptr;
    std::vector<IPALLEXPIN2*> outputs;
    int32_t node = 0;
    double* conductance = nullptr;
    int width = 4;
    uint32_t full = 15;
    uint32_t initial = 0;
    int64_t delay = 10000;
    double vfs = 5;
    double rout = 100;
    double trise = 1e-9;
    uint32_t count = 0;
    uint32_t shown = ~0u;
    bool lastclock = false;
    double before = 0; // OUT before the latest step, after it, and when it began (s)
    double after = 0;
    double edge = 0;
};

} // namespace

extern "C" {

IMIXEDMODEL* createmixedmodel(const char* type, void*)
{
    return type && strcasecmp(type, "COUNTER") == 0 ? new Counter : nullptr;
}

void deletemixedmodel(IMIXEDMODEL* model)
{
    delete static_cast<Counter*>(model);
}
}
