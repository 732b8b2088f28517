// FAULTY, a model library for the tests: a SPICE model that faults on purpose once the run has
// stepped past its start, as its part's primitive type says: ABORT calls abort(), HANG loops for
// ever. Its pin is analog and left unloaded.
#include "engines/contract/instance.h"
#include "engines/nerith/circuit.h"
#include "simulator/models/extmodel/modelentries.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

class Faulty final : public ISPICEMODEL {
public:
    explicit Faulty(bool hangs)
        : hangs(hangs)
    {
    }
    int analogpin(const char*) override { return 1; }
    void bindspice(IINSTANCE*, ISPICECKT*) override { }
    void runmode(int32_t) override { }
    void setstate(double, int32_t) override { }
    int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
    void loaddc(double, uint32_t, const double*, double*) override { }
    void loadac(double, double*, double*) override { }
    void limitstep(double, double*) override { }
    void acceptstep(double time, const double*) override
    {
        if (time <= 0)
            return;
        if (!hangs)
            std::abort();
        volatile unsigned spin = 0;
        for (;;)
            spin = spin + 1;
    }
    int32_t spiceevent(intptr_t) override { return 0; }

private:
    bool hangs;
};

} // namespace

extern "C" {

ISPICEMODEL* createspicemodel(const char* type, void*)
{
    if (!type)
        return nullptr;
    if (strcasecmp(type, "ABORT") == 0)
        return new Faulty(false);
    return strcasecmp(type, "HANG") == 0 ? new Faulty(true) : nullptr;
}

void deletespicemodel(ISPICEMODEL* model)
{
    delete static_cast<Faulty*>(model);
}
}
