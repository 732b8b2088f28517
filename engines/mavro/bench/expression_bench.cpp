// What a behavioural source costs the engine at every Newton iteration: one eval with all derivatives,
// against the value alone, for expressions of the sizes decks hold.
#include "engines/mavro/mavro.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <string>
#include <vector>

namespace {

std::deque<IFnode> nodes;

int newnode(IFcircuit*, IFnode** node, IFuid name)
{
    *node = &nodes.emplace_back(IFnode { name, static_cast<int32_t>(nodes.size() + 1) });
    return 0;
}

const char* expressions[] = {
    "2*v(in)",
    "1e-14*(exp(v(a,k)/0.02585)-1)",
    "0.5+-2*i(vx)+3*i(vx)*i(vy)+0.1*i(vy)*i(vy)",
    "v(a)*v(b)*v(c)/(1+v(a)^2) + tanh(v(d)-v(e))*sqrt(abs(v(f)))+ln(1+v(g)*v(g))",
};

void eval(benchmark::State& state, bool derivatives)
{
    IFsimulator descriptor {};
    descriptor.newNode = newnode;
    descriptor.groundNode = newnode;
    inpinit(nullptr, &descriptor);
    INPtables* table = INPtabInit(16);
    std::string text = expressions[state.range(0)];
    char* cursor = text.data();
    IFparseTree* tree = nullptr;
    if (INPgetTree(&cursor, &tree, nullptr, table) != 0) {
        state.SkipWithError("does not parse");
        return;
    }
    std::vector<double> values(static_cast<std::size_t>(tree->quantities()), 0.3);
    std::vector<double> slopes(values.size());
    double value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tree->eval(values.data(), &value, derivatives ? slopes.data() : nullptr));
        benchmark::DoNotOptimize(value);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(values.size()) + " quantities");
    INPtabEnd(table);
    inpinit(nullptr, nullptr);
    nodes.clear();
}

void WithDerivatives(benchmark::State& state)
{
    eval(state, true);
}

void ValueAlone(benchmark::State& state)
{
    eval(state, false);
}

} // namespace

BENCHMARK(WithDerivatives)->DenseRange(0, 3);
BENCHMARK(ValueAlone)->DenseRange(0, 3);
BENCHMARK_MAIN();
