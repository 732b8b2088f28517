#pragma once

#include "simulator/models/builtin/instrument.h"
#include "simulator/models/builtin/itfmodel.h"

// ADC: turns the voltage of its pin A (over V-) into digital states on the net of its pin D. At
// each analog time point it compares the input with its thresholds (VTH high, VTL low, each with
// its hysteresis VHH and VHL) and, on a change, schedules the new state at the time the input
// crossed the threshold (interpolated within the step), through the undefined state when the input
// took long between the two thresholds. With TTOL it asks the analog engine for time points until
// the crossing is known to within TTOL. RPOS and RNEG load A towards V+ and V-.
class ADC final : public ITFMODEL {
public:
    // The state codes of a net fed by an ADC: high, low, undefined.
    static constexpr STATE HIGH = STATE_WHI;
    static constexpr STATE LOW = STATE_WLO;
    static constexpr STATE UNDEFINED = STATE_WUD;

    using ITFMODEL::ITFMODEL;

    // An input on a power rail gives the power states instead.
    void bindpins(IFcircuit* circuit) override;
    // The thresholds, RPOS, RNEG and TTOL.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // Links itself to the net of D when it has no link; else keeps the power interface. 0 when a
    // power interface was given but no link exists.
    int setlink(COMPONENT* part) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    // Starts over on the first iteration; RPOS and RNEG.
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    void loadac(double omega, double* rhsreal, double* rhsimag) override;
    // Keeps the input and the state decided at the accepted point.
    void acceptstep(double time, const double* solution) override;
    // At an analog time point (SIM_ANALOG): the transitions the input makes.
    void simulate(int64_t time, uint32_t mode) override;
    // A transition falls due: the net takes the state.
    void callback(int64_t time, intptr_t value) override;

    STATE high = HIGH;
    STATE low = LOW;
    STATE undefined = UNDEFINED;
    LEVEL vtl { 30, false };
    LEVEL vhl { 10, false };
    LEVEL vth { 70, false };
    LEVEL vhh { 10, false };
    double rpos = 0; // conductances; 0: none
    double rneg = 0;
    double ttol = 0;
    STATE present = 0; // as the callbacks applied it
    STATE pending = 0; // as decided at the last accepted point
    STATE decided = 0; // as decided at the present point, which the analog engine may yet retake
    double vprevious = 0; // the input at the last accepted point
    int32_t requests = 0; // time points asked for since then
    CONDUCTANCESTAMP pullup;
    CONDUCTANCESTAMP pulldown;

private:
    // Schedules the state at the time (seconds) on the digital circuit.
    void post(double time, STATE state, const char* speed);
};
