#pragma once

#include "engines/pallex/state.h"
#include "simulator/models/builtin/instrument.h"
#include "simulator/models/builtin/intmodel.h"

struct PXlink;

// DSWITCH: a conductance between its pins A and B that the digital state of its pin EN sets: GON
// when high, GOFF when low, half-way when undefined, reached by a linear ramp over TON or TOFF.
// Which engine simulates it is decided at the binding: PRIMITIVE ANALOG or DIGITAL forces one, else
// it is analog when A or B lies on an analog net that is no power rail. A digital switch is the
// digital engine's own SWITCH part.
class DSWITCH final : public INTMODEL {
public:
    using INTMODEL::INTMODEL;

    // PRIMITIVE ANALOG: every pin analog; DIGITAL: every pin digital; EN (and the part) always
    // digital; PASSIVE: A and B dual.
    int isanalogpin(SDF_PIN* pin) override;
    int isdigitalpin(SDF_PIN* pin) override;
    int isdualpin(SDF_PIN* pin) override;
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // The SPICE nodes of A and B; a missing one is fatal.
    void bindpins(IFcircuit* circuit) override;
    // RON (default 1; "OFF" is no conductance), ROFF (absent or "OFF": none), TSWITCH, TON, TOFF.
    void initialise(CIRCUIT* circuit, void* argument) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    void loadac(double omega, double* rhsreal, double* rhsimag) override;
    // Follows a change of EN, starting a ramp at this time.
    void acceptstep(double time, const double* solution) override;

    double gon = 1;
    double goff = 0;
    double ton = 0;
    double toff = 0;
    STATE state = 0; // of EN, as last sampled
    double changed = 0;
    double old = 0;
    double target = 0;
    double ramp = 0;
    double present = 0;
    CONDUCTANCESTAMP stamp;
    PXobject* control = nullptr; // the digital part that reads EN for an analog switch
    PXlink* link = nullptr;

private:
    // Samples EN at `time`: on a change, a new target and ramp from the present conductance.
    // Whether it changed.
    bool sample(double time);
    // The conductance of RON or ROFF (of `resistance` when absent): none for "OFF", 1000 S with a
    // warning for 0.
    double readconductance(const char* property, double resistance);
};
