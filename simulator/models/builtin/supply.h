#pragma once

#include "simulator/models/builtin/instrument.h"
#include "simulator/models/builtin/intmodel.h"

// The two supplies built into the kernel: a battery, and the power interface that the analog-digital
// interface objects of a digital part take as their supply.

// BATTERY: a voltage source VALUE with a series resistance RINT between its first pin (+) and its
// second (-, ground when the part has one pin): V(+) - V(-) - RINT * I = VALUE, I the current into +.
class BATTERY final : public INTMODEL {
public:
    using INTMODEL::INTMODEL;

    int isanalogpin(SDF_PIN*) override { return 1; }
    // VALUE (volts) and RINT (ohms), both 0 when absent.
    void initialise(CIRCUIT* circuit, void* argument) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    // The source; its value follows the source-stepping factor in DC modes.
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    void loadac(double omega, double* rhsreal, double* rhsimag) override;

    double value = 0;
    double rint = 0;
    AMMETERSTAMP source;
    double* resistance = nullptr; // the (branch, branch) cell; only with a resistance

private:
    void loadmatrix() const;
};

// PWRITF: the power interface (row POWER), a Norton source of VOLTAGE behind RINT between its pins
// V+ and V-. Both pins are dual when it has exactly two; it is analog only, and answers the
// power-interface query with itself.
class PWRITF final : public INTMODEL {
public:
    using INTMODEL::INTMODEL;

    int isdualpin(SDF_PIN*) override { return pins.count == 2; }
    int powerinterface(COMPONENT** self) override;
    // The OBJITF instance; its pins only when it has exactly two (else a warning).
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // VOLTAGE (default 5), then RINT: 1000 ohms by default at 0 V, else 1 milliohm; RINT 0 is no
    // conductance, and then nothing is stamped.
    void initialise(CIRCUIT* circuit, void* argument) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    void loadac(double omega, double* rhsreal, double* rhsimag) override;

    double voltage = 5;
    double conductance = 0;
    CONDUCTANCESTAMP stamp;
    int32_t positive = 0; // nodes of V+ and V-
    int32_t negative = 0;
};
