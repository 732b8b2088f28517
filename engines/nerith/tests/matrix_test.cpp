#include "engines/nerith/matrix.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

using nerith::SparseMatrix;

namespace {

constexpr double Pivtol = 1e-13;
constexpr double Pivrel = 1e-3;

// x = A^-1 b for the present cells.
std::vector<double> solved(SparseMatrix& m, std::vector<double> rhs)
{
    EXPECT_EQ(m.factor(Pivtol, Pivrel).status, SparseMatrix::Status::Ok);
    m.solve(rhs.data());
    return rhs;
}

} // namespace

TEST(SparseMatrix, CellsOfOnePlaceAddUpAndKeepTheirAddresses)
{
    // A chain of 5000 unit conductances, each stamped through cells of its own, so the cells span
    // several storage chunks; node 1 is held at 1 by a conductance to a source of 1 A.
    constexpr int32_t N = 5000;
    SparseMatrix m;
    m.reset(N);
    struct Stamp {
        double* aa;
        double* bb;
        double* ab;
        double* ba;
    };
    std::vector<Stamp> stamps;
    for (int32_t k = 1; k < N; ++k)
        stamps.push_back(
            { m.element(k, k), m.element(k + 1, k + 1), m.element(k, k + 1), m.element(k + 1, k) });
    double* end = m.element(N, N);
    double* start = m.element(1, 1);
    auto load = [&](double g) {
        m.clear();
        for (const Stamp& s : stamps) {
            *s.aa += g;
            *s.bb += g;
            *s.ab -= g;
            *s.ba -= g;
        }
        *start += 1;
        *end += 1;
    };
    std::vector<double> rhs(N + 1, 0.0);
    rhs[1] = 1;
    // Two grounded unit conductances and N - 1 in series: v(k) falls linearly from v(1).
    load(1);
    std::vector<double> x = solved(m, rhs);
    const double total = 1 + (N - 1) + 1;
    EXPECT_NEAR(x[1], (N - 1 + 1) / total, 1e-12);
    EXPECT_NEAR(x[N], 1 / total, 1e-12);
    EXPECT_EQ(x[0], 0);

    // Same pointers, new values: the pivot order is reused.
    load(2);
    x = solved(m, rhs);
    const double total2 = 1 + (N - 1) / 2.0 + 1;
    EXPECT_NEAR(x[N], 1 / total2, 1e-12);
    EXPECT_EQ(m.statistics().analyses, 1);
    EXPECT_EQ(m.statistics().factorisations, 1);
    EXPECT_EQ(m.statistics().refactorisations, 1);
    EXPECT_EQ(m.statistics().nonzeros, static_cast<std::size_t>(3 * N - 2));

    // The same values again keep the factors.
    load(2);
    std::vector<double> again = solved(m, rhs);
    EXPECT_EQ(again, x);
    EXPECT_EQ(m.statistics().refactorisations, 1);
    EXPECT_EQ(m.statistics().reuses, 1);
}

TEST(SparseMatrix, GroundAndRangeAndGrowth)
{
    SparseMatrix m;
    m.reset(2);
    EXPECT_EQ(m.element(0, 1), m.element(2, 0)); // the one scratch cell
    EXPECT_EQ(m.element(3, 1), nullptr);
    EXPECT_EQ(m.element(-1, 1), nullptr);
    double* a = m.element(1, 1);
    double* b = m.element(2, 2);
    *a = 2;
    *b = 4;
    std::vector<double> x = solved(m, { 0, 2, 4 });
    EXPECT_DOUBLE_EQ(x[1], 1);
    EXPECT_DOUBLE_EQ(x[2], 1);

    // A new equation after a factorisation: old cells still count, the structure is analysed anew.
    m.grow(3);
    double* c = m.element(3, 3);
    double* coupling = m.element(3, 1);
    m.clear();
    *a = 2;
    *b = 4;
    *c = 1;
    *coupling = -1;
    x = solved(m, { 0, 2, 4, 0 });
    EXPECT_DOUBLE_EQ(x[3], 1);
    EXPECT_EQ(m.statistics().analyses, 2);
}

TEST(SparseMatrix, PivotsThatVanishAreRepivotedOrReported)
{
    // [[p, 1], [1, 1]]: the first pivot order uses p; with p = 0 it must pivot afresh.
    SparseMatrix m;
    m.reset(2);
    double* p = m.element(1, 1);
    double* c12 = m.element(1, 2);
    double* c21 = m.element(2, 1);
    double* c22 = m.element(2, 2);
    auto load = [&](double first, double last) {
        m.clear();
        *p = first;
        *c12 = 1;
        *c21 = 1;
        *c22 = last;
    };
    load(4, 1);
    std::vector<double> x = solved(m, { 0, 5, 2 });
    EXPECT_NEAR(x[1], 1, 1e-15);
    EXPECT_NEAR(x[2], 1, 1e-15);
    load(0, 1);
    x = solved(m, { 0, 1, 2 });
    EXPECT_NEAR(x[1], 1, 1e-15);
    EXPECT_NEAR(x[2], 1, 1e-15);
    EXPECT_EQ(m.statistics().factorisations, 2);

    // A tiny but nonzero pivot in a kept order would grow the factors and lose digits.
    SparseMatrix fresh;
    fresh.reset(2);
    double* cells[] = { fresh.element(1, 1), fresh.element(1, 2), fresh.element(2, 1), fresh.element(2, 2) };
    auto reload = [&](double first) {
        fresh.clear();
        *cells[0] = first;
        *cells[1] = *cells[2] = *cells[3] = 1;
    };
    reload(4);
    solved(fresh, { 0, 5, 2 });
    reload(1e-12);
    x = solved(fresh, { 0, 1 + 1e-12, 2 });
    EXPECT_NEAR(x[1], 1, 1e-15);
    EXPECT_NEAR(x[2], 1, 1e-15);
    EXPECT_EQ(fresh.statistics().factorisations, 2);

    // Singular: exactly, and within the pivot tolerance.
    for (double last : { 1.0, 1.0 + 1e-15 }) {
        load(1, last);
        const SparseMatrix::Result result = m.factor(Pivtol, Pivrel);
        EXPECT_EQ(result.status, SparseMatrix::Status::Singular) << last;
        EXPECT_TRUE(result.equation == 1 || result.equation == 2) << result.equation;
    }
    // An equation with no cell at all.
    SparseMatrix empty;
    empty.reset(2);
    *empty.element(1, 1) = 1;
    const SparseMatrix::Result result = empty.factor(Pivtol, Pivrel);
    EXPECT_EQ(result.status, SparseMatrix::Status::Singular);
    EXPECT_EQ(result.equation, 2);
}

TEST(SparseMatrix, RefactorisationsSolveWhateverTheRowScales)
{
    // [[4, -1, 0], [-1, 4, -1], [0, -1, 4]] with x = (1, 2, 3); each row in turn far larger or
    // smaller than at the fresh pivoting, the right-hand side with it: the pivot order is kept and
    // the solution stays.
    SparseMatrix m;
    m.reset(3);
    const std::array<std::array<double, 3>, 3> a { { { 4, -1, 0 }, { -1, 4, -1 }, { 0, -1, 4 } } };
    const std::array<double, 3> b { 2, 4, 10 };
    std::array<std::array<double*, 3>, 3> cells {};
    for (int32_t r = 0; r < 3; ++r) {
        for (int32_t c = 0; c < 3; ++c)
            cells[r][c] = a[r][c] != 0 ? m.element(r + 1, c + 1) : nullptr;
    }
    auto load = [&](int32_t row, double scale) {
        m.clear();
        std::vector<double> rhs(4, 0.0);
        for (int32_t r = 0; r < 3; ++r) {
            const double s = r == row ? scale : 1;
            for (int32_t c = 0; c < 3; ++c) {
                if (cells[r][c])
                    *cells[r][c] = s * a[r][c];
            }
            rhs[r + 1] = s * b[r];
        }
        return rhs;
    };
    solved(m, load(0, 1));
    for (const auto& [row, scale] : { std::pair { 0, 1e9 }, { 1, 1e-9 }, { 2, 1e12 }, { 1, 3.0 } }) {
        const std::vector<double> x = solved(m, load(row, scale));
        for (int32_t k = 1; k <= 3; ++k)
            EXPECT_NEAR(x[k], k, 1e-12) << row << " " << scale;
    }
    EXPECT_EQ(m.statistics().factorisations, 1);
    EXPECT_EQ(m.statistics().refactorisations, 4);
}

TEST(SparseMatrix, PlacesTakeStampsInTheirEntriesBesideCells)
{
    // [[3, -1], [-1, 2]] from a conductance of 1 between 1 and 2 and conductances of 2 and 1 to
    // ground, stamped through places (ground ones on the sinks) and one cell on (1, 1).
    SparseMatrix m;
    m.reset(2);
    const auto between = std::array { m.place(1, 1), m.place(2, 2), m.place(1, 2), m.place(2, 1) };
    const auto toground = std::array { m.place(1, 1), m.place(0, 0), m.place(1, 0), m.place(0, 1) };
    const int32_t second = m.place(2, 2);
    EXPECT_EQ(toground[1], SparseMatrix::Ground);
    EXPECT_EQ(m.place(3, 1), SparseMatrix::Ground);
    double* cell = m.element(1, 1);
    ASSERT_TRUE(m.stale());
    ASSERT_TRUE(m.analyse());
    EXPECT_FALSE(m.stale());
    EXPECT_EQ(m.statistics().nonzeros, 4u);
    EXPECT_EQ(m.entry(between[0]), m.entry(toground[0])); // one place, one entry
    auto load = [&](double g) {
        m.clear();
        double* a = m.stamps();
        for (int32_t k = 0; k < 4; ++k) {
            const double sign = k < 2 ? 1 : -1;
            a[m.entry(between[static_cast<std::size_t>(k)], static_cast<std::size_t>(k))] += sign * g;
            a[m.entry(toground[static_cast<std::size_t>(k)], static_cast<std::size_t>(k))] += sign * g;
        }
        a[m.entry(second)] += 1;
        *cell += 1;
    };
    load(1);
    // x = A^-1 (1, 0): (2, 1) / 5.
    std::vector<double> x = solved(m, { 0, 1, 0 });
    EXPECT_NEAR(x[1], 0.4, 1e-15);
    EXPECT_NEAR(x[2], 0.2, 1e-15);

    // Without leave to reuse, equal values are factored again.
    load(1);
    ASSERT_EQ(m.factor(Pivtol, Pivrel, false).status, SparseMatrix::Status::Ok);
    EXPECT_EQ(m.statistics().reuses, 0);
    EXPECT_EQ(m.statistics().refactorisations, 1);

    // A third equation after the analysis: the places made before keep their places.
    m.grow(3);
    const auto third = std::array { m.place(2, 2), m.place(3, 3), m.place(2, 3), m.place(3, 2) };
    ASSERT_TRUE(m.analyse());
    EXPECT_EQ(m.statistics().nonzeros, 7u);
    load(1);
    for (int32_t k = 0; k < 4; ++k)
        m.stamps()[m.entry(third[static_cast<std::size_t>(k)])] += k < 2 ? 1 : -1;
    // [[3, -1, 0], [-1, 3, -1], [0, -1, 1]] x = (1, 0, 0): x = (2, 1, 1) / 5.
    x = solved(m, { 0, 1, 0, 0 });
    EXPECT_NEAR(x[1], 0.4, 1e-15);
    EXPECT_NEAR(x[2], 0.2, 1e-15);
    EXPECT_NEAR(x[3], 0.2, 1e-15);
}

TEST(SparseMatrix, ValuesThatDifferInAFewEquationsAreCorrectedForRatherThanFactored)
{
    // A 30 by 30 grid of unit conductances, every node held to ground by 0.1; then a few
    // conductances turn a thousand times larger (devices turning on), as in a mostly linear circuit.
    // The factors stay, and each solution is that of the matrix factored afresh; differences spread
    // over many equations, or that are no numbers, are factored.
    constexpr int32_t Side = 30;
    constexpr int32_t N = Side * Side;
    struct Conductance {
        int32_t a;
        int32_t b; // 0: ground
        bool oneway = false; // a transconductance: b's voltage drives a current into a alone
    };
    std::vector<Conductance> conductances;
    for (int32_t k = 1; k <= N; ++k) {
        conductances.push_back({ k, 0 });
        if (k % Side != 0)
            conductances.push_back({ k, k + 1 });
        if (k + Side <= N)
            conductances.push_back({ k, k + Side });
    }
    // Transistors' transconductances, off at first: their rows are few, their columns far away.
    const std::size_t firstoneway = conductances.size();
    for (const auto& [a, b] : { std::pair { 5, 800 }, { 450, 10 }, { 451, 900 }, { 451, 452 } })
        conductances.push_back({ a, b, true });
    // The cells of each conductance: a and b's diagonals and the two between them (a transconductance
    // stamps only the one from b into a).
    auto cellsof = [&](SparseMatrix& m) {
        m.reset(N);
        std::vector<std::array<double*, 4>> cells;
        for (const auto& [a, b, oneway] : conductances)
            cells.push_back({ m.element(a, a), m.element(b, b), m.element(a, b), m.element(b, a) });
        return cells;
    };
    auto stamp = [&](SparseMatrix& m, const std::vector<std::array<double*, 4>>& cells,
                     const std::vector<double>& g) {
        m.clear();
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (conductances[i].oneway) {
                *cells[i][2] += g[i];
                continue;
            }
            *cells[i][0] += g[i];
            *cells[i][1] += g[i];
            *cells[i][2] -= g[i];
            *cells[i][3] -= g[i];
        }
    };
    std::vector<double> base;
    for (const Conductance& c : conductances)
        base.push_back(c.oneway ? 0.0 : c.b == 0 ? 0.1 : 1.0);
    std::vector<double> rhs(N + 1, 0.0);
    rhs[1] = 1;
    rhs[N] = -2;
    // The matrix under test takes its cells once; the reference is made afresh for each set of values.
    SparseMatrix m;
    const auto cells = cellsof(m);
    auto solvefresh = [&](const std::vector<double>& g) {
        SparseMatrix fresh;
        stamp(fresh, cellsof(fresh), g);
        return solved(fresh, rhs);
    };
    auto agrees = [&](const std::vector<double>& g, const char* what) {
        stamp(m, cells, g);
        const std::vector<double> x = solved(m, rhs);
        const std::vector<double> exact = solvefresh(g);
        double worst = 0;
        for (int32_t k = 1; k <= N; ++k)
            worst = std::max(worst, std::fabs(x[k] - exact[k]) / (1e-3 + std::fabs(exact[k])));
        EXPECT_LT(worst, 1e-10) << what;
    };
    agrees(base, "the first factorisation");
    agrees(base, "the second, which keeps its values to compare with");
    const int64_t refactored = m.statistics().refactorisations;
    std::vector<double> on = base;
    for (std::size_t i : { 0u, 77u, 300u, 301u, 1500u })
        on[i] *= 1000;
    agrees(on, "a few conductances on");
    on[1501] = 1e-9;
    agrees(on, "one more nearly off");
    // Dozens of equations more, beside those already corrected for: the dense system of the
    // update then pivots on rows it had swapped before.
    for (std::size_t i = 100; i < 2600; i += 120)
        on[i] *= 1000;
    agrees(on, "many more on");
    for (std::size_t i = firstoneway; i < on.size(); ++i)
        on[i] = 3.0 * static_cast<double>(i - firstoneway + 1);
    agrees(on, "transconductances on");
    agrees(base, "all back");
    EXPECT_EQ(m.statistics().refactorisations, refactored);
    EXPECT_EQ(m.statistics().updates, 4);
    EXPECT_EQ(m.statistics().reuses, 1);

    std::vector<double> spread = base;
    for (std::size_t i = 0; i < spread.size(); i += 7)
        spread[i] *= 2;
    agrees(spread, "differences all over");
    EXPECT_EQ(m.statistics().refactorisations, refactored + 1);
    std::vector<double> broken = spread;
    broken[40] = std::numeric_limits<double>::quiet_NaN();
    stamp(m, cells, broken);
    EXPECT_EQ(m.factor(Pivtol, Pivrel).status, SparseMatrix::Status::NotFinite);
}

TEST(SparseMatrix, ValuesThatAreNoNumbersAreNamedWhereTheyAre)
{
    // After a sound factorisation, an overflowed entry in row 2 spoils the pivots of the kept
    // order; the factorisation names the row instead of pivoting on it.
    SparseMatrix m;
    m.reset(2);
    double* cells[] = { m.element(1, 1), m.element(1, 2), m.element(2, 1), m.element(2, 2) };
    for (double bad : { std::numeric_limits<double>::infinity(), std::nan("") }) {
        m.clear();
        *cells[0] = 2;
        *cells[1] = *cells[2] = *cells[3] = 1;
        solved(m, { 0, 1, 1 });
        m.clear();
        *cells[0] = 2;
        *cells[1] = *cells[2] = 1;
        *cells[3] = bad;
        const SparseMatrix::Result result = m.factor(Pivtol, Pivrel);
        EXPECT_EQ(result.status, SparseMatrix::Status::NotFinite) << bad;
        EXPECT_EQ(result.equation, 2) << bad;
    }
}
