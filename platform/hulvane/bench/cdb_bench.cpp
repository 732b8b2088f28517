// Annotating a design of 10,000 elements on 100 sheets afresh, and saving and loading its image.
// Run: build/bin/hulvane_bench

#include "core/files/ramfile.h"
#include "platform/hulvane/annotator.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/tests/cdbfakes.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace cdbtest;

constexpr int SHEETS = 100;
constexpr int RESISTORS = 60; // per sheet
constexpr int GATES = 40; // per sheet, four to a package

// Each sheet put away once, as a design read from its file stands before annotation.
struct DESIGN {
    CDBCORE core;
    DEVICE resistor { "RES" };
    DEVICE gates { "7400" };
    std::vector<std::unique_ptr<DRAWING>> drawings;

    DESIGN()
    {
        core.newdatabase("ROOT.CDB");
        core.newdesign();
        for (int i = 0; i < SHEETS; ++i) {
            auto drawing = std::make_unique<DRAWING>();
            for (int r = 0; r < RESISTORS; ++r)
                drawing->add(&resistor, "R", r % 2 ? "10k" : "4k7");
            for (int g = 0; g < GATES; ++g)
                drawing->add(&gates, "U", "7400", 4);
            drawing->store(core, core.addrootsheet(static_cast<uint32_t>(i + 1), nullptr, 0));
            drawings.push_back(std::move(drawing));
        }
    }
};

void annotate(benchmark::State& state)
{
    DESIGN design;
    ANNOTATOR annotator;
    for (auto _ : state)
        annotator.globalannotate(design.core.getroot(), ANNOTATOR::TOTAL, 1);
    state.counters["elements"] = design.core.numelements();
    state.counters["parts"] = design.core.numparts();
}

void save(benchmark::State& state)
{
    DESIGN design;
    ANNOTATOR annotator;
    annotator.globalannotate(design.core.getroot(), ANNOTATOR::TOTAL, 1);
    for (auto _ : state) {
        RAMFILE file;
        design.core.save(file);
        benchmark::DoNotOptimize(file.length);
        state.counters["bytes"] = static_cast<double>(file.length);
    }
}

void load(benchmark::State& state)
{
    DESIGN design;
    ANNOTATOR annotator;
    annotator.globalannotate(design.core.getroot(), ANNOTATOR::TOTAL, 1);
    RAMFILE file;
    design.core.save(file);
    CDBCORE loaded;
    for (auto _ : state) {
        file.rewind();
        if (!loaded.load(file))
            state.SkipWithError("the image did not load");
    }
}

} // namespace

BENCHMARK(annotate)->Unit(benchmark::kMillisecond);
BENCHMARK(save)->Unit(benchmark::kMillisecond);
BENCHMARK(load)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
