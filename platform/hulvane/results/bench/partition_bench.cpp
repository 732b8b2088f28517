// Writing and reading 10 million samples of one analog channel, as a transient run records a
// probe. Reports MB/s of file bytes; the writer must stay well above 100 MB/s so that it never
// holds a run back.

#include "platform/hulvane/results/partition.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int samples = 10'000'000;
constexpr int period = 4096;  // samples of one period of the test wave, computed once

std::string benchfile()
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder ? folder : "/tmp") + "/partition_bench." + std::to_string(::getpid()) + ".pdf";
}

// One run of the channel; tolerance 0 writes every sample, a tolerance lets a smooth wave shrink.
int64_t writerun(const std::string& path, double tolerance)
{
    PARTITION p("bench", path.c_str());
    p.open(PARTITION::MODE_UPDATE);
    int channel = p.addchannel("V(OUT)", "");
    p.setchannel(channel, PARTITION::KIND_ANALOG, 1, tolerance);
    static const std::vector<double> wave = [] {
        std::vector<double> values(period);
        for (int i = 0; i < period; ++i)
            values[static_cast<size_t>(i)] = std::sin(2 * M_PI * i / period);
        return values;
    }();
    p.beginrun();
    for (int i = 0; i < samples; ++i)
        p.writeanalog(i * 1e-9, channel, wave[static_cast<size_t>(i % period)], 0);
    p.endrun();
    int64_t bytes = p.runs[0].length;
    p.close(0);
    return bytes;
}

void BM_WriteAnalog(benchmark::State& state)
{
    const std::string path = benchfile();
    const double tolerance = state.range(0) == 0 ? 0.0 : 1e-3;
    int64_t bytes = 0;
    for (auto _ : state)
        bytes += writerun(path, tolerance);
    state.SetBytesProcessed(bytes);
    state.counters["samples/s"] = benchmark::Counter(double(samples) * double(state.iterations()), benchmark::Counter::kIsRate);
    ::unlink(path.c_str());
}
BENCHMARK(BM_WriteAnalog)->Arg(0)->Arg(1)->ArgName("tolerance")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadAnalog(benchmark::State& state)
{
    const std::string path = benchfile();
    writerun(path, 0);
    int64_t bytes = 0;
    for (auto _ : state) {
        PARTITION p("bench", path.c_str());
        p.open(PARTITION::MODE_READHEADER);
        CHANNEL_ITERATOR* it = p.getiterator("V(OUT)", 0);
        double sum = 0;
        for (int i = 0; i < samples; ++i)
            sum += it->getvalue(i * 1e-9 + 0.5e-9);
        benchmark::DoNotOptimize(sum);
        bytes += p.runs[0].length;
    }
    state.SetBytesProcessed(bytes);
    state.counters["samples/s"] = benchmark::Counter(double(samples) * double(state.iterations()), benchmark::Counter::kIsRate);
    ::unlink(path.c_str());
}
BENCHMARK(BM_ReadAnalog)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
