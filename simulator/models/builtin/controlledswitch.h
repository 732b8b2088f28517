#pragma once

#include "simulator/models/builtin/instrument.h"
#include "simulator/models/builtin/intmodel.h"

// The switches controlled by an analog quantity: VSWITCH by the voltage between its third and
// fourth pins, CSWITCH by the current of a probe or voltage source it names. Between their first
// two pins (output + and -) lies a resistance that moves linearly in the control quantity from
// ROFF at OFF to RON at ON (in smooth mode), or the SPICE engine's own switch device with its
// hysteresis when a threshold property (VT/VH, IT/IH) is given.
//
// Smooth mode stamps a conductance G from output + to an internal node and a branch from there to
// output - whose voltage is K * (control - control at the iteration), the resistance's Newton
// linearisation in the control quantity.

// What tells the two switches apart: their property keys and warnings.
struct SWITCHKIND {
    const char* name; // "VSWITCH"
    const char* device; // the engine's switch of hysteresis mode
    const char* threshold; // VT, else...
    const char* hysteresis; // ...VH: hysteresis mode
    const char* both; // VSW: ON = OFF
    const char* on; // VON
    const char* off; // VOFF
    double ondefault;
    const char* bandwarning; // "VON <= VOFF not allowed in VSWITCH"
    const char* ronwarning;
    const char* roffwarning;
};

class CONTROLLEDSWITCH : public INTMODEL {
public:
    CONTROLLEDSWITCH(const SWITCHKIND& kind, const char* name, PRIMITIVE* row, const SDF_MODEL* model,
        const PROPLIST* properties);

    int isanalogpin(SDF_PIN*) override { return 1; }
    // Smooth: the row of the engine's switch gives way to the next row (the OBJITF one) before the
    // base's binding. Hysteresis: the engine's switch device named after the part, its terminals
    // bound by the pins' numbers.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // The band, RON, ROFF and TTOL with their warnings; in hysteresis mode the engine's switch gets
    // every model parameter the part has as a property.
    void initialise(CIRCUIT* circuit, void* argument) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    // The matrix stamps of the last load, no right-hand side.
    void loadac(double omega, double* rhsreal, double* rhsimag) override;
    // A step longer than TTOL over which the control jumped across the whole band is cut to a
    // quarter.
    void limitstep(double time, double* step) override;

    const SWITCHKIND& kind;
    bool hysteresismode;
    double on = 1;
    double off = 0;
    double ron = 1;
    double roff = 1e6;
    double ttol = 0;
    int32_t internal = 0;
    int32_t states = -1; // the control quantity, then the branch current
    double conductance = 0;
    double coupling = 0;
    CONDUCTANCESTAMP resistor;
    AMMETERSTAMP link; // the branch from the internal node to output -

protected:
    // The control quantity in the solution.
    virtual double control(const double* solution) const = 0;
    // Takes the cells of the control coupling.
    virtual void fetchcoupling(ISPICECKT* circuit) = 0;
    // Adds -K times the control quantity's derivative to the branch row.
    virtual void loadcoupling(double k) const = 0;
    // Whether TTOL asks for step control; VSWITCH takes any non-zero TTOL, CSWITCH a positive one.
    virtual bool stepcontrol() const { return ttol != 0; }
    // Part-specific set-up of hysteresis mode after the model parameters.
    virtual void sethysteresis() { }

    IFcircuit* spice = nullptr;

private:
    void bindhysteresis(IFcircuit* circuit);
    void stamp() const;
};

class VSWITCH final : public CONTROLLEDSWITCH {
public:
    VSWITCH(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    double* coupleplus = nullptr; // (branch, control +), (branch, control -)
    double* coupleminus = nullptr;

protected:
    double control(const double* solution) const override;
    void fetchcoupling(ISPICECKT* circuit) override;
    void loadcoupling(double k) const override;
};

class CSWITCH final : public CONTROLLEDSWITCH {
public:
    CSWITCH(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    // The probe, on the first call only: the part named by the switch's name up to its last '_'
    // and PROBE; it must give a branch.
    void initialise(CIRCUIT* circuit, void* argument) override;

    COMPONENT* probe = nullptr; // not owned
    int32_t controlbranch = 0;
    double* couple = nullptr; // (branch, control branch)

protected:
    double control(const double* solution) const override;
    void fetchcoupling(ISPICECKT* circuit) override;
    void loadcoupling(double k) const override;
    bool stepcontrol() const override { return ttol > 0; }
    // The engine's current switch takes the probe's name as its control.
    void sethysteresis() override;

private:
    bool probesought = false;
};
