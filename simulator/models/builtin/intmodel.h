#pragma once

#include "engines/contract/models.h"
#include "engines/nerith/circuit.h"
#include "simulator/kernel/instance.h"

#include <cstdint>
#include <vector>

struct PXobject;

// INTMODEL: a model built into the kernel that is at the same time its simulated part (an
// INSTANCE) and its own analog and digital model (IMIXEDMODEL). The analog engine reaches it
// through an OBJITF instance of one SPICE model per primitive type, the digital engine through an
// "INTMODEL" part made with pallex_create. Derived models override the model slots they need.
class INTMODEL : public INSTANCE, public IMIXEDMODEL {
public:
    using INSTANCE::INSTANCE;

    // 9: an OBJITF instance for an analog side (the row's SPICE model made on first use), a
    // digital part for a digital side, then bindpins.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 10: the SPICE node of every analog or dual pin (0 with a warning when the engine lacks the
    // net), the digital pin of every digital or dual pin.
    void bindpins(IFcircuit* circuit) override;

    // Pin answers: positive on this side, negative for a dual pin, 0 otherwise (null: the part).
    int analogpin(const char* pin) override;
    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    void runmode(int32_t) override { }
    void setstate(double, int32_t) override { }
    int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
    void loaddc(double, uint32_t, const double*, double*) override { }
    // The error "Frequency Domain Analysis not supported." of the part, at every call.
    void loadac(double omega, double* rhsreal, double* rhsimag) override;
    void limitstep(double, double*) override { }
    void acceptstep(double, const double*) override { }
    int32_t spiceevent(intptr_t) override { return 0; }

    int digitalpin(const char* pin) override;
    void bindpallex(IINSTANCE* owner, IPALLEXCKT* circuit) override;
    void simulate(int64_t, uint32_t) override { }
    void callback(int64_t, intptr_t) override { }
    int32_t pallexevent(intptr_t) override { return 0; }

    IFmodel* spicemodel = nullptr;
    IFinstance* spiceinstance = nullptr;
    PXobject* pallexmodel = nullptr;
    ISPICECKT* spiceckt = nullptr;     // from bindspice
    IINSTANCE* owner = nullptr;        // from bindspice
    IPALLEXCKT* pallexckt = nullptr;   // from bindpallex
    std::vector<int32_t> nodes;        // SPICE node per pin, in pin order; empty until bound
    std::vector<IPALLEXPIN2*> digital; // digital pin per pin, in pin order; empty until bound

protected:
    // The OBJITF instance of the part in the model of its row (the model made on first use).
    void bindanalog(IFcircuit* circuit);
    // The pin of that name; null for a null name.
    SDF_PIN* pinnamed(const char* pin) const { return pin ? findpin(pin) : nullptr; }
    // The SPICE node of the pin at that place in pin order; 0 (ground) when there is none.
    int32_t pinnode(size_t index) const { return index < nodes.size() ? nodes[index] : 0; }
    // A quantity of the analog circuit (QUERY_ code); def before bindspice or when not answered.
    double query(int code, double def) const;
    // The source-stepping factor of DC modes; 1 outside source stepping.
    double sourcefactor() const { return query(QUERY_SRCFACT, 1); }
    // The property's text when it is given: not absent, empty, "?" or "[NULL]".
    const char* given(const char* property);
};
