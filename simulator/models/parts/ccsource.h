#pragma once

#include "simulator/models/parts/iprobe.h"
#include "simulator/models/parts/spicecpt.h"

#include <memory>

// CCSOURCE: a current-controlled source (CCCS, CCVS). With four pins it senses its control current
// itself, through a probe it inserts between its third and fourth pins (named after it with "#PN");
// with two it names the voltage source or probe whose current controls it in PROBE, found in its
// own subcircuit scope.
class CCSOURCE final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;
    // 9: the inserted probe of a four-pin source, then the SPICE part's binding.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 17: the control: the inserted probe, else the part PROBE names ("Probe %s specified for %s not
    // found", "Current probe not specified for source %s" when it has none); the engine's "control"
    // takes its name. Then the SPICE part's parameters.
    void initialise(CIRCUIT* circuit, void* models) override;

    std::unique_ptr<IPROBE> probe; // the inserted probe; null when none
    COMPONENT* control = nullptr; // the probe or the part PROBE names; not owned
};
