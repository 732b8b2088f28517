#pragma once

#include "simulator/models/builtin/tests/analogbench.h"
#include "simulator/models/builtin/tests/probetesting.h"

#include <algorithm>
#include <memory>
#include <string>

// Built-in models in a circuit built on the recording fakes, simulated by the analog bench: the
// test names the nets, the bench adds loads and sources on them and solves.
class BenchCircuitTest : public ProbeCircuitTest {
protected:
    // Builds the circuit of a transient run into the partition RUN (parts "NAME,DEVICE,VALUE,props"
    // and net blocks) and hands every built-in model with an analog side to a new bench.
    ANALOGBENCH& build(const std::string& properties, const std::string& parts, const std::string& nets)
    {
        make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n" + properties, parts, nets);
        bench = std::make_unique<ANALOGBENCH>(fakes::spice().circuit.equations + 1);
        for (SDF_COMPONENT* component : circuit->parts)
            if (auto* model = dynamic_cast<INTMODEL*>(component); model && model->spiceinstance)
                bench->add(model);
        return *bench;
    }

    // The net's SPICE node; 0 when the engine has no such node.
    int32_t node(const char* net)
    {
        IFnode* found = nullptr;
        spicesimulator->findNode(circuit->spice, &found, net);
        return found ? found->number : 0;
    }

    double voltage(const char* net) const { return bench->values[static_cast<size_t>(nodeof(net))]; }

    template <class T> T* model(const char* name) { return dynamic_cast<T*>(part(name)); }

    std::unique_ptr<ANALOGBENCH> bench;

private:
    int32_t nodeof(const char* net) const { return const_cast<BenchCircuitTest*>(this)->node(net); }
};
