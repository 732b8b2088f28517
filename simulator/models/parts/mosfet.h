#pragma once

#include "simulator/models/parts/spicecpt.h"

// MOSFET: a MOSFET whose generic row (NMOSFET, PMOSFET) names no SPICE device type: its level
// chooses the row of that level among the seven that follow the generic one (1 MOS1, 2 MOS2,
// 3 MOS3, 4 BSIM1, 5 BSIM2, 6 MOS6, 7 BSIM3). A part with three pins has its bulk on its source.
class MOSFET final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;
    // 9: for a generic row, the level: 1, else the LEVEL of the card SPICEMODEL names, replaced by
    // the LEVEL of the netlist model and then by the part's own; one outside 1 to 7 is warned
    // about ("Invalid level %d specified for MOSFET %s") and taken as 1. Then the SPICE part's
    // binding on the level's row.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 10: the SPICE part's pins; with three, the source's node is the bulk's too.
    void bindpins(IFcircuit* circuit) override;

    // The level of a generic row's part, warnings as above.
    int32_t level(INPtables* table, IFcircuit* circuit);
};
