#pragma once

#include "simulator/models/builtin/instrument.h"

#include <cmath>

// RTSWITCH: the switch a user operates during an interactive run. Position n gives the resistance
// of the property R(n) ("OFF": open); user events for the switch's event id move it. Its nets
// decide its side (PRIMITIVE ANALOG or DIGITAL forces one): an analog switch is a conductance that
// moves linearly from the old to the new value over TSWITCH seconds, a digital one the digital
// engine's SWITCH, closed below 1000 ohms. It starts open, until a position with a readable
// resistance is applied.
class RTSWITCH final : public INTMODEL {
public:
    using INTMODEL::INTMODEL;

    // By PRIMITIVE: ANALOG, DIGITAL, else dual (the nets decide at the binding).
    int isanalogpin(SDF_PIN* pin) override;
    int isdigitalpin(SDF_PIN* pin) override;
    int isdualpin(SDF_PIN* pin) override;
    // Analog when forced, or when a pin is on an analog net that is no supply net; else digital.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // A DC path only at a starting position (STATE) whose R(n) is not "OFF".
    void adddcpaths(int all, DIDX* index, char* net) override;
    // The owner's EID, STATE and TSWITCH (default 1 ms); applies STATE as a user event at 0.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // Position `data` at `time`, when id is the switch's event id; an analog switch whose
    // conductance changes sets a break point there, where its ramp starts. A missing R(n) is a
    // warning and keeps the resistance.
    void userevent(int32_t id, double time, int32_t data) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    // The present conductance: the target at once on the first iteration of an operating point,
    // else moved along the ramp on the first iteration of each time point.
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    // The target conductance.
    void loadac(double omega, double* rhsreal, double* rhsimag) override;
    // While a change is under way, a time point where its ramp ends.
    void acceptstep(double time, const double* solution) override;

    int32_t event = -1;
    double tswitch = 1e-3;
    double resistance = INFINITY;
    double changed = 0; // time of the last position change
    double previous = 0; // conductances, siemens
    double target = 0;
    double present = 0;
    CONDUCTANCESTAMP stamp;

private:
    bool analog() const { return spiceinstance != nullptr; }
};
