#pragma once

#include "simulator/models/builtin/instrument.h"
#include "simulator/models/builtin/itfmodel.h"

// DAC: drives its pin A (over V-) with the digital state of the net of its pin D, as a voltage
// behind a resistance: VHI, VLO or VUD for a high, low or undefined state, through the strong or the
// weak resistance of that state, and its last voltage through RTS when the state floats. A change
// moves voltage and conductance from the old values to the new ones over an edge: the part of the
// full swing VLO..VHI it covers of TRISE or TFALL (TTS to float), in a straight line or, with RAMP
// EXP, exponentially.
class DAC final : public ITFMODEL {
public:
    using ITFMODEL::ITFMODEL;

    // The levels, resistances (kept as conductances) and edge times.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // Keeps the power interface when it has a link; links itself to the net of D when it has none.
    // 0 when a power interface was given but no link exists.
    int setlink(COMPONENT* part) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    // The output on its edge; DC modes take the state at once.
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    void loadac(double omega, double* rhsreal, double* rhsimag) override;
    // Takes a new state of the link: a new target and an edge from the present output.
    void acceptstep(double time, const double* solution) override;

    LEVEL vlo { 0, false };
    LEVEL vhi { 100, false };
    LEVEL vud { 50, false };
    double gslo = 1; // conductances of the strong and weak outputs, and of the floating output
    double gshi = 1;
    double gwlo = 1;
    double gwhi = 1;
    double gwud = 1;
    double gsud = 1;
    double gts = 1e-8;
    double trise = 1e-9;
    double tfall = 1e-9;
    double tts = 1e-9;
    bool exponential = false;
    STATE present = 0;
    double changed = 0; // when the present state arrived
    double target = 0; // output voltage and conductance: target, old and present
    double targetconductance = 0;
    double old = 0;
    double oldconductance = 0;
    double output = 0;
    double conductance = 0;
    double edge = 0; // seconds; its address is the engine's (pallex_linkdac)
    CONDUCTANCESTAMP stamp;

private:
    // The conductance of a resistance property, 1/default when not given or not positive.
    double readconductance(const char* property, double resistance);
    // Sets the output's voltage and conductance and stamps them.
    void drive(double volts, double siemens, double* rhs);
};
