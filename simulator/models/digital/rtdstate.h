#pragma once

#include "simulator/models/digital/pallexcpt.h"

#include <cstdint>

// RTDSTATE: the logic state source of an interactive run, a part the digital engine simulates as
// a DUMMY whose pins only it drives. Selection n drives what the property S(n) gives: a
// hexadecimal bit pattern (a text that begins with a hexadecimal digit; bit i on pin i), a state
// keyword on every pin (PLO, SLO, WLO, WHI, SHI, PHI and their other names), or, without S(n),
// the bit pattern n; selection -1 releases every pin. User events for the owner's EID select.
class RTDSTATE final : public PALLEXCPT {
public:
    RTDSTATE(const char* name, const SDF_MODEL* model, const PROPLIST* properties);

    // The owner's EID, then the starting selection STATE (default -1) applied at time 0.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // Drives selection `data` from `time` on, when id is the source's event id.
    void userevent(int32_t id, double time, int32_t data) override;

    int32_t event = -1;
};
