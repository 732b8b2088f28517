// Refactorisation, ours (SparseMatrix::factor) against KLU's own (klu_refactor), on the matrices of
// two circuits as their loads stamp them: the resistor mesh of 300 x 300 nodes with its source
// (linear: our factorisation first compares the values with those last factored) and the diode-RC
// ladder of 10,000 sections in a transient (nonlinear: it does not compare). One value changes
// before every factorisation, so each is a real one; KLU refactors the same compressed columns in
// the same row and column order, with its default row scaling (ours leaves it out). The counter
// "refactorisations" shows that ours did.
#include "engines/nerith/matrix.h"

#include <benchmark/benchmark.h>
#include <klu.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using nerith::SparseMatrix;

constexpr double Pivtol = 1e-13;
constexpr double Pivrel = 1e-3;

// A matrix built from conductance stamps, and the entry whose value the benchmark moves.
struct Circuit {
    SparseMatrix matrix;
    std::vector<std::pair<int32_t, double>> stamps; // place, value
    int32_t moved = 0; // a place on the diagonal
    bool linear = true;

    void conductance(int32_t a, int32_t b, double g)
    {
        stamps.emplace_back(matrix.place(a, a), g);
        stamps.emplace_back(matrix.place(b, b), g);
        stamps.emplace_back(matrix.place(a, b), -g);
        stamps.emplace_back(matrix.place(b, a), -g);
    }
    // A voltage source from `node` to ground on branch equation `branch`.
    void source(int32_t node, int32_t branch)
    {
        stamps.emplace_back(matrix.place(node, branch), 1);
        stamps.emplace_back(matrix.place(branch, node), 1);
    }
    void load()
    {
        if (matrix.stale())
            matrix.analyse();
        matrix.clear();
        double* a = matrix.stamps();
        for (const auto& [place, value] : stamps)
            a[matrix.entry(place)] += value;
    }
};

// The 300 x 300 mesh: neighbours joined by 1 to 2 kohm, one node in 97 to ground through 10 kohm,
// a source on the first node.
Circuit& mesh()
{
    static const std::unique_ptr<Circuit> c = [] {
        auto made = std::make_unique<Circuit>();
        Circuit& m = *made;
        const int32_t w = 300, h = 300, branch = w * h + 1;
        m.matrix.reset(branch);
        auto node = [&](int32_t x, int32_t y) { return y * w + x + 1; };
        long k = 0;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                if (x + 1 < w)
                    m.conductance(node(x, y), node(x + 1, y), 1 / (1000.0 + double((++k * 7919) % 1000)));
                if (y + 1 < h)
                    m.conductance(node(x, y), node(x, y + 1), 1 / (1000.0 + double((++k * 7919) % 1000)));
                if ((x * h + y) % 97 == 0)
                    m.conductance(node(x, y), 0, 1e-4);
            }
        }
        m.source(node(0, 0), branch);
        m.moved = m.matrix.place(node(w / 2, h / 2), node(w / 2, h / 2));
        return made;
    }();
    return *c;
}

// The ladder of 10,000 sections, each 10 ohm on to its node, 10 fF to ground and a diode to ground
// behind 1 ohm of series resistance on an inner node, at a step of 2 ns: the diodes of the first
// thousand sections conduct, the others block.
Circuit& ladder()
{
    static const std::unique_ptr<Circuit> c = [] {
        auto made = std::make_unique<Circuit>();
        Circuit& d = *made;
        const int32_t n = 10000, input = 2 * n + 1, branch = 2 * n + 2;
        d.matrix.reset(branch);
        d.linear = false;
        const double slope = 2 / 2e-9;
        for (int32_t k = 1; k <= n; ++k) {
            const int32_t node = 2 * k - 1, inner = 2 * k, before = k == 1 ? input : 2 * k - 3;
            const double junction = k <= 1000 ? 1e-3 * std::exp(-k / 300.0) : 1e-12;
            d.conductance(before, node, 0.1);
            d.conductance(node, 0, slope * 10e-15);
            d.conductance(node, inner, 1);
            d.conductance(inner, 0, junction + slope * 10e-15);
        }
        d.source(input, branch);
        d.moved = d.matrix.place(2 * (n / 2), 2 * (n / 2));
        return made;
    }();
    return *c;
}

void Ours(benchmark::State& state, Circuit& (*make)())
{
    Circuit& c = make();
    c.load();
    SparseMatrix& m = c.matrix;
    if (m.factor(Pivtol, Pivrel, c.linear).status != SparseMatrix::Status::Ok) {
        state.SkipWithError("the matrix did not factor");
        return;
    }
    double* moved = m.stamps() + m.entry(c.moved);
    const double value = *moved;
    const int64_t before = m.statistics().refactorisations;
    for (auto _ : state) {
        // Toggled from the value in place, so that no factorisation finds the values of the last.
        *moved = *moved == value ? value * (1 + 1e-9) : value;
        benchmark::DoNotOptimize(m.factor(Pivtol, Pivrel, c.linear));
    }
    state.counters["refactorisations"] = static_cast<double>(m.statistics().refactorisations - before);
    state.counters["LU nonzeros"] = static_cast<double>(m.statistics().factorNonzeros);
}

void Klu(benchmark::State& state, Circuit& (*make)())
{
    Circuit& c = make();
    c.load();
    if (c.matrix.factor(Pivtol, Pivrel, c.linear).status != SparseMatrix::Status::Ok) {
        state.SkipWithError("the matrix did not factor");
        return;
    }
    const SparseMatrix::Compressed view = c.matrix.compressed();
    std::vector<int32_t> start(view.start, view.start + view.size + 1);
    std::vector<int32_t> index(view.index, view.index + start.back());
    std::vector<double> values(view.values, view.values + start.back());
    std::vector<int32_t> rows = view.rows;
    std::vector<int32_t> columns = view.columns;
    klu_common common;
    klu_defaults(&common);
    common.btf = 0;
    common.tol = Pivrel;
    klu_symbolic* symbolic
        = klu_analyze_given(view.size, start.data(), index.data(), rows.data(), columns.data(), &common);
    klu_numeric* numeric = klu_factor(start.data(), index.data(), values.data(), symbolic, &common);
    if (!numeric) {
        state.SkipWithError("KLU did not factor the matrix");
        return;
    }
    const std::size_t moved = static_cast<std::size_t>(c.matrix.entry(c.moved));
    const double value = values[moved];
    for (auto _ : state) {
        values[moved] = values[moved] == value ? value * (1 + 1e-9) : value;
        benchmark::DoNotOptimize(
            klu_refactor(start.data(), index.data(), values.data(), symbolic, numeric, &common));
    }
    state.counters["LU nonzeros"] = static_cast<double>(numeric->lnz + numeric->unz);
    klu_free_numeric(&numeric, &common);
    klu_free_symbolic(&symbolic, &common);
}

} // namespace

BENCHMARK_CAPTURE(Ours, mesh_300x300, &mesh)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Klu, mesh_300x300, &mesh)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Ours, diode_ladder_10000, &ladder)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Klu, diode_ladder_10000, &ladder)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
