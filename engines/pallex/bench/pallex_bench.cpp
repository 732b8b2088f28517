// Events per second of the digital engine on two circuits: a ring of inverters (one wave running
// round it) and a 16-bit synchronous counter made of four 4-bit counters. An event is a change of a
// driver applied by the run loop.
#include "engines/fakes/instance.h"
#include "engines/pallex/engine.h"
#include "engines/pallex/pallex.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <string>

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

}  // namespace

BENCHMARK_MAIN();
