#pragma once

#include "simulator/models/parts/spicecpt.h"

// MOSFET: a transistor of the MOSFET rows. The generic rows (NMOSFET, PMOSFET) name no device type:
// the part takes the row of its level (1 MOS1, 2 MOS2, 3 MOS3, 4 BSIM1, 5 BSIM2, 6 MOS6, 7 BSIM3,
// of the same channel type), from its SPICE model's card, its model definition's LEVEL and its own
// LEVEL, the last given winning. A part with three pins has its bulk on its source.

class MOSFET final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;

    // 9: for a generic row, the level's row ("Invalid level %d specified for MOSFET %s" and level 1
    // for a level outside 1 to 7; an error, and no binding, when the engine lacks the level's
    // device type); then SPICECPT's binding.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 10: SPICECPT's binding; with exactly three pins, the source's node on the bulk terminal too.
    void bindpins(IFcircuit* circuit) override;
};
