// Building the netlist of 10,000 elements and 30,000 pins through the netlist's interface, joining
// its labelled pieces, and writing the simulator's netlist file. Run: build/bin/hulvane_netlist_bench

#include "platform/hulvane/netgen.h"
#include "platform/hulvane/netlist.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int ELEMENTS = 10000;
constexpr int PINS = 3; // per element

// Each net takes one pin of three neighbouring elements; every fourth net is drawn as two pieces
// that a wire label joins, every hundredth reaches the ground.
void build(NETLIST& netlist)
{
    const PROPLIST props("VALUE=BC547,PRIMITIVE=ANALOG");
    std::vector<NET_PART*> parts;
    parts.reserve(ELEMENTS);
    for (int i = 0; i < ELEMENTS; ++i)
        parts.push_back(netlist.addelement(("Q" + std::to_string(i + 1)).c_str(), "NPN", props, nullptr, 0));
    const char* const names[PINS] = { "B", "C", "E" };
    for (int n = 0; n < ELEMENTS; ++n) {
        const std::string label = "N" + std::to_string(n);
        netlist.newnet();
        for (int k = 0; k < PINS; ++k) {
            if (n % 4 == 0 && k == 2) {
                netlist.addlabel(nullptr, nullptr, label.c_str(), ET_LABEL);
                netlist.addnet();
                netlist.newnet();
                netlist.addlabel(nullptr, nullptr, label.c_str(), ET_LABEL);
            }
            netlist.addpin(parts[(n + k) % ELEMENTS], names[k], nullptr, ET_PASSIVE, 0);
        }
        if (n % 100 == 0)
            netlist.addlabel(nullptr, nullptr, "GND", ET_POWERTERM);
        netlist.addnet();
    }
    netlist.validate();
}

void buildandwrite(benchmark::State& state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        NETLIST netlist;
        netlist.setdesignname("BENCH");
        build(netlist);
        std::ostringstream out;
        net_gen(netlist, out, NETFORMAT_SDF);
        bytes = out.str().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

} // namespace

BENCHMARK(buildandwrite)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
