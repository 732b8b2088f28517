#pragma once

#include "simulator/models/parts/sideresistor.h"
#include "simulator/models/parts/spicecpt.h"

#include <string>

class IFparseTree;

// POLYSOURCE: the controlled current sources of the simulator's own library, each an arbitrary
// source of the engine whose current "i" is an expression built from the part's properties:
// VCISOURCE, VALUE times the voltage between its control pins P and N; NLVCIS, the polynomial
// VALUE + the sum over its C<letters> properties of the coefficient times the voltages of the
// control pins the letters name (A the third pin, B the fourth, ...); ICISOURCE and NLICIS, the same
// over the currents of the parts that PROBE<letter> (PROBE for A) names in the part's subcircuit
// scope. The current leaves the source at its first pin. With an RPARA property a resistor of that
// value (default 1 ohm) lies across the output.
class POLYSOURCE final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;
    // 9: the SPICE part's binding; the parser's table is kept for the expression.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 10: the first pin on terminal 2, the second on terminal 1.
    void bindpins(IFcircuit* circuit) override;
    // 17: the expression, parsed and set as "i" (whatever tree the parser gave), and the RPARA
    // resistor. A VCISOURCE without both control pins is fatal ("Control pin(s) missing in %s"); a
    // probe that cannot be found is warned about ("Cannot find probe for %s in %s") and its factor
    // left out.
    void initialise(CIRCUIT* circuit, void* models) override;

    // The expression text of the part's row, from its properties as evaluated now.
    std::string expressiontext();

    INPtables* table = nullptr; // the parser's; borrowed from the load
    IFparseTree* expression = nullptr; // the parser's
    SIDERESISTOR rpara;

private:
    // The value of a property against the circuit's variables, `def` when it has none.
    double number(const char* key, double def);
    // "*v(...)" of the control pin a letter of an NLVCIS term names; empty past the last pin.
    std::string voltagefactor(char letter);
    // "*i(...)" of the part the PROBE<letter> property names; empty, with the warning, when none.
    std::string currentfactor(char letter);
};
