#pragma once

#include "engines/nerith/circuit.h"

struct IFcircuit;

namespace nerith {

// The circuit as a model sees it (ISPICECKT), one per circuit.
class SpiceCircuit final : public ISPICECKT {
public:
    explicit SpiceCircuit(IFcircuit& owner)
        : ckt(owner)
    {
    }
    int modetest(uint32_t bits) override;
    int query(double* out, int code) override;
    double* state(int32_t which, int32_t index) override;
    void suspend(IINSTANCE* owner, const char* text) override;
    double* solution() override;
    double lowerinitialstep(double limit) override;
    int32_t newnode(IINSTANCE* owner, const char* name) override;
    int32_t newbranch(IINSTANCE* owner, const char* name) override;
    double* element(int32_t row, int32_t column) override;
    int setbreak(double time) override;
    int32_t allocstates(int32_t count) override;
    void proposestep(double step) override;

private:
    IFcircuit& ckt;
};

} // namespace nerith
