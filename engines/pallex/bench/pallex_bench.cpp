// Events per second of the digital engine on three circuits: a ring of inverters (one wave running
// round it), a 16-bit synchronous counter made of four 4-bit counters, and blocks that use every
// primitive of the library. An event is a change of a driver applied by the run loop.
#include "engines/fakes/instance.h"
#include "engines/pallex/engine.h"
#include "engines/pallex/pallex.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

void ignore(void*, double) {}

class Circuit {
public:
    Circuit() { pallex_initialize(nullptr, &circuit); }
    ~Circuit() { pallex_terminate(); }

    PXobject* part(const std::string& name, const char* type, std::map<std::string, std::string> properties)
    {
        PXobject* made = nullptr;
        pallex_create(&instances.emplace_back(name, std::move(properties)), type, nullptr, nullptr, &made);
        return made;
    }

    // A part with its pins joined to nets, given as {pin, net}.
    void wire(const std::string& name, const char* type, std::vector<std::pair<std::string, std::string>> wiring,
        std::map<std::string, std::string> properties = { { "TD", "2n" } })
    {
        PXobject* made = part(name, type, std::move(properties));
        for (const auto& [pin, net] : wiring)
            pallex_connect(made, pin.c_str(), 1, net.c_str(), nullptr);
    }

    IPALLEXCKT* circuit = nullptr;
    std::deque<fakes::Instance> instances;
};

// Runs `seconds` of simulated time per iteration in steps of 1 us, as analog points would.
void run(benchmark::State& state, double seconds)
{
    pallex_setup();
    double time = 0;
    uint64_t before = pallex::engine()->statistics.events;
    for (auto _ : state) {
        for (double end = time + seconds; time < end;) {
            time += 1e-6;
            pallex_accept(time, nullptr, ignore);
        }
    }
    uint64_t events = pallex::engine()->statistics.events - before;
    state.counters["events/s"] = benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate);
}

void InverterRing(benchmark::State& state)
{
    Circuit circuit;
    int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        PXobject* inverter = circuit.part("I" + std::to_string(i), "INVERTER",
            { { "TD", "1n" }, { "INIT", std::to_string(i % 2) } });
        pallex_connect(inverter, "A", 1, ("n" + std::to_string((i + count - 1) % count)).c_str(), nullptr);
        pallex_connect(inverter, "Q", 2, ("n" + std::to_string(i)).c_str(), nullptr);
    }
    run(state, 100e-6);
}
BENCHMARK(InverterRing)->Arg(101)->Arg(10001)->Unit(benchmark::kMillisecond);

void CounterCascade(benchmark::State& state)
{
    Circuit circuit;
    PXobject* clock = circuit.part("CK", "CLOCK", { { "PERIOD", "20n" } });
    pallex_connect(clock, "Q", 2, "clk", nullptr);
    for (int stage = 0; stage < 4; ++stage) {
        PXobject* counter = circuit.part("C" + std::to_string(stage), "COUNTER", { { "TD", "2n" }, { "INIT", "0" } });
        pallex_connect(counter, "CLK", 1, "clk", nullptr);
        if (stage)
            pallex_connect(counter, "EN", 1, ("co" + std::to_string(stage - 1)).c_str(), nullptr);
        pallex_connect(counter, "CO", 2, ("co" + std::to_string(stage)).c_str(), nullptr);
        for (int bit = 0; bit < 4; ++bit)
            pallex_connect(counter, ("Q" + std::to_string(bit)).c_str(), 2,
                ("q" + std::to_string(stage * 4 + bit)).c_str(), nullptr);
    }
    run(state, 1e-3);
}
BENCHMARK(CounterCascade)->Unit(benchmark::kMillisecond);

// Blocks of a counter, a decoder, a multiplexer, a shift register, flip-flops, latches, tri-state
// drivers on a pulled-up bus and gates of several widths, clocked together and fed by one pattern.
void FullLibrary(benchmark::State& state)
{
    Circuit circuit;
    circuit.wire("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "20n" } });
    circuit.wire("P", "PATTERN", { { "Q0", "p0" }, { "Q1", "p1" } },
        { { "DATA", "1 2 3 0 2" }, { "STEP", "70n" }, { "REPEAT", "1" } });
    for (int block = 0; block < static_cast<int>(state.range(0)); ++block) {
        std::string b = "b" + std::to_string(block) + "_";
        auto n = [&b](const char* net) { return b + net; };
        std::map<std::string, std::string> init { { "TD", "2n" }, { "INIT", std::to_string(block % 16) } };
        circuit.wire(b + "C", "COUNTER",
            { { "CLK", "clk" }, { "Q0", n("q0") }, { "Q1", n("q1") }, { "Q2", n("q2") }, { "Q3", n("q3") } }, init);
        circuit.wire(b + "D", "DECODER",
            { { "A0", n("q0") }, { "A1", n("q1") }, { "A2", n("q2") }, { "EN", n("q3") }, { "Q0", n("y0") },
                { "Q1", n("y1") }, { "Q5", n("y5") }, { "Q6", n("y6") } });
        circuit.wire(b + "M", "MUX",
            { { "D0", n("y0") }, { "D1", n("y6") }, { "D2", n("q0") }, { "D3", "p1" }, { "S0", n("q2") },
                { "S1", n("q3") }, { "Q", n("m") } });
        circuit.wire(b + "X", "XOR", { { "A", n("q0") }, { "B", n("q2") }, { "C", n("m") }, { "Q", n("x") } });
        circuit.wire(b + "S", "SHIFTREG",
            { { "D", n("x") }, { "CLK", "clk" }, { "Q0", n("s0") }, { "Q1", n("s1") }, { "Q2", n("s2") },
                { "Q3", n("s3") } },
            init);
        circuit.wire(b + "A", "AND", { { "A", n("s0") }, { "B", n("s1") }, { "C", n("s2") }, { "Q", n("a") } });
        circuit.wire(b + "N", "NOR", { { "A", n("s3") }, { "B", n("a") }, { "Q", n("nr") } });
        circuit.wire(b + "F", "DFF", { { "D", n("a") }, { "CLK", "clk" }, { "Q", n("f") } }, init);
        circuit.wire(b + "J", "JKFF", { { "J", n("nr") }, { "K", n("f") }, { "CLK", "clk" }, { "Q", n("j") } }, init);
        circuit.wire(b + "L", "DLATCH", { { "D", n("x") }, { "EN", n("q0") }, { "Q", n("l") } }, init);
        circuit.wire(b + "R", "SRLATCH", { { "S", n("y1") }, { "R", n("y5") }, { "Q", n("r") } }, init);
        circuit.wire(b + "I", "INVERTER", { { "A", n("q3") }, { "Q", n("nq3") } });
        circuit.wire(b + "T", "TRIBUF", { { "A", n("l") }, { "EN", n("q3") }, { "Q", n("bus") } });
        circuit.wire(b + "U", "TRIINV", { { "A", n("r") }, { "EN", n("nq3") }, { "Q", n("bus") } });
        circuit.wire(b + "PU", "PULLUP", { { "1", n("bus") } }, {});
        circuit.wire(b + "B", "BUFFER", { { "A", n("bus") }, { "Q", n("out") } });
        circuit.wire(b + "O", "OR", { { "A", n("out") }, { "B", "p0" }, { "Q", n("o") } });
        circuit.wire(b + "G", "NAND", { { "A", n("o") }, { "B", n("j") }, { "Q", n("z") } });
        circuit.wire(b + "E", "XNOR", { { "A", n("z") }, { "B", n("f") }, { "Q", n("w") } });
    }
    run(state, 20e-6);
}
BENCHMARK(FullLibrary)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
