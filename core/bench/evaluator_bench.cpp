// What one evaluation costs: a property read as the circuit is built, a circuit variable, and a
// trace expression evaluated once per sample.
#include "core/text/evaluator.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* expressions[] = {
    "10k",
    "2*VCC/3",
    "pwr(R1,2)*1e-3 + limit(P1, 0, VCC)",
    "20*log(sqrt(P1*P1 + P2*P2)) - e24(R1/7)",
};

void Evaluate(benchmark::State& state)
{
    GDIDX<VARIABLE<double>> vars;
    for (const char* name : { "VCC", "R1", "P1", "P2", "P3", "P4", "GLEAK", "TSTOP", "GWIRE" })
        vars.add(new VARIABLE<double>(name, 1.5));
    std::string text = expressions[state.range(0)];
    EVALUATOR<double> evaluator;
    for (auto _ : state) {
        char* cursor = text.data();
        benchmark::DoNotOptimize(evaluator.evaluate(&cursor, vars, 0, 0));
    }
    if (evaluator.error)
        state.SkipWithError(evalerrors[evaluator.error]);
    state.SetLabel(text);
    vars.zap();
}

} // namespace

BENCHMARK(Evaluate)->DenseRange(0, 3);
BENCHMARK_MAIN();
