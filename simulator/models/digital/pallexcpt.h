#pragma once

#include "simulator/kernel/instance.h"

struct PXobject;

// PALLEXCPT: a digital primitive. The digital engine simulates it whole; the part only makes the
// engine's component of its type and connects every pin, all of which are digital.
class PALLEXCPT : public INSTANCE {
public:
    // The part on the DIGITAL row; `type` is the engine's type name (cut to 63 characters).
    PALLEXCPT(const char* name, const char* type, const SDF_MODEL* model, const PROPLIST* properties);

    // 5: every pin is digital.
    int isdigitalpin(SDF_PIN*) override { return 1; }
    // 9: the engine's component, then each digital pin in index order. What the engine refuses is
    // a warning; the run goes on without that component or pin.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;

    char modelname[64];
    PXobject* handle = nullptr; // the engine's; null until bound
};
