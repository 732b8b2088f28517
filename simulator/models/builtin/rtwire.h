#pragma once

#include "simulator/models/builtin/instrument.h"

#include "engines/pallex/state.h"

// RTPPROBE and RTWPROBE: the probes the circuit builder puts on a component pin or a wire so that
// the host can animate it in an interactive run. Their identity comes with them (PIN
// "sheet:object:element", WIRE "sheet:object", hexadecimal). Both may be on either side: the pin
// probe follows the state of a digital net; the wire probe shows the voltage and current of an
// analog wire (an ideal connection, or a conductance GWIRE between its ends) or the state of a
// digital one.

class RTPPROBE final : public INTMODEL {
public:
    RTPPROBE(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    int isdualpin(SDF_PIN*) override { return 1; }
    // No engine model: a probe of one pin links the state of its net when the net is digital.
    void bindmodel(INPtables*, IFcircuit*) override { }
    void initialise(CIRCUIT* circuit, void* argument) override;
    void watchpopup(const DPA*, const double*, IFcircuit*, PARTITION*) override { }
    void setrunmode(int32_t mode) override { run = mode; }
    void runmode(int32_t mode) override { setrunmode(mode); }
    // The net's state by the change rule (nothing while paused); 0 for a probe not linked.
    int activeevents(double time, DPA* list) override;

    ACTIVEEVENT event {};
    STATE* state = nullptr; // the linked net's; the digital engine's
    int32_t run = 0;
};

class RTWPROBE final : public INTMODEL {
public:
    RTWPROBE(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    int isdualpin(SDF_PIN*) override { return 1; }
    // Digital when a pin is on a net that is neither analog nor a supply net: the digital engine's
    // probe on the first net, the two nets merged; analog otherwise.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // GWIRE, the circuit's variable (0: an ideal wire).
    void initialise(CIRCUIT* circuit, void* argument) override;
    void watchpopup(const DPA*, const double*, IFcircuit*, PARTITION*) override { }
    void setrunmode(int32_t mode) override { run = mode; }
    void runmode(int32_t mode) override { setrunmode(mode); }
    // Voltage and current, or the wire's state, by the change rule; nothing while paused. 0 for a
    // probe bound to neither side.
    int activeevents(double time, DPA* list) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;

    ACTIVEEVENT event {};
    double gwire = 0;
    double voltage = 0;
    double current = 0;
    int32_t run = 0;
    CONDUCTANCESTAMP conductance;
    AMMETERSTAMP wire; // the ideal wire: both ends at one voltage, its branch the current
    PXobject* probe = nullptr; // the digital engine's

private:
    bool twoends() const { return nodes.size() == 2; }
    // The wire's voltage (the mean of its ends) and current in a solution.
    void read(const double* solution);
};
