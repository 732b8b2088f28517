#pragma once

#include "simulator/models/parts/sideresistor.h"
#include "simulator/models/parts/spicecpt.h"

#include <memory>
#include <vector>

// The capacitor and the inductor: SPICE parts with a leakage resistor and with mutual couplings.

// CAPACITOR: a capacitor whose leakage is a resistor beside it. The leakage resistance is RLEAK,
// else 1 / GLEAK of the part, else 1 / the circuit's GLEAK option: the first that evaluates. The
// resistor is made once the resistance is positive and finite; a resistance that no longer is
// (a later sweep step) makes an existing one conduct nothing.
class CAPACITOR final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;
    // 17: the SPICE part's parameters, then the leakage.
    void initialise(CIRCUIT* circuit, void* models) override;

    SIDERESISTOR leakage;

private:
    // The leakage resistance by the rule above; 0 when none is given.
    double leakageresistance() const;
};

// INDUCTOR: an inductor whose MUTUAL_<c> properties couple it to the windings of its own part: an
// element named L1:A with MUTUAL_B=0.98 makes the coupling L1:AB (a "Mutual" device) between L1:A
// and L1:B with k = 0.98.
class INDUCTOR final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;
    // 9: the SPICE part, then its couplings, in the order of its properties.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 17: the SPICE part's parameters, then each coupling's.
    void initialise(CIRCUIT* circuit, void* models) override;

    std::vector<std::unique_ptr<SPICECPT>> couplings;
};
