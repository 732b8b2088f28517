#pragma once

#include "engines/pallex/state.h"
#include "simulator/models/builtin/intmodel.h"

struct PXlink;

// What the two interface objects of a mixed net share (the ADC turns the voltage of its pin A into
// digital states on the net of its pin D, the DAC the digital state of D into a voltage behind a
// resistance on A): the digital engine's link, the power interface that serves them, their supply
// between V+ and V- (the pins, else VOLTAGE over ground) and levels given in volts or as a
// percentage of that supply.
class ITFMODEL : public INTMODEL {
public:
    // `link`: the digital engine's link of the object; null when it links itself.
    ITFMODEL(
        const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties, PXlink* link);

    // A and V pins are analog, D pins digital (a null pin: the part has both).
    int isanalogpin(SDF_PIN* pin) override;
    int isdigitalpin(SDF_PIN* pin) override;
    // The SPICE nodes of A, V+ and V- (0 for an absent pin; a net the engine lacks is fatal), then
    // pin D connected to the digital engine as an output; without D the run ends.
    void bindpins(IFcircuit* circuit) override;
    // VOLTAGE.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // Takes the smallest step (break-point spacing) of the run.
    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;

    // A level or threshold: in volts, or a percentage of the supply.
    struct LEVEL {
        double value = 0;
        bool absolute = false;

        double volts(double span) const { return absolute ? value : value * span / 100; }
    };

    PXlink* link;
    COMPONENT* power = nullptr; // the power interface; not owned
    bool supplypins = false; // both V+ and V- are pins of the part
    int32_t a = 0; // SPICE nodes of A, V+ and V-
    int32_t vplus = 0;
    int32_t vminus = 0;
    double minstep = 0;
    double voltage = 5;

protected:
    // The property as a level: absent or holding '%', its number (else `percent`) as a percentage;
    // otherwise an expression in volts (else `volts`). `absolute` decides instead when given.
    LEVEL readlevel(const char* property, double percent, double volts, const bool* absolute = nullptr);
    // The supply's span: V(V+) - V(V-) with supply pins, else VOLTAGE.
    double span(const double* solution) const;
    // V(node) - V(V-).
    double across(const double* solution, int32_t node) const { return solution[node] - solution[vminus]; }
};

// The drive strength of a state: 0 floating, below STATE_STRONG weak.
inline bool floating(STATE state)
{
    return (state & STATE_STRENGTH) == 0;
}
inline bool strong(STATE state)
{
    return (state & STATE_STRENGTH) >= STATE_STRONG;
}
