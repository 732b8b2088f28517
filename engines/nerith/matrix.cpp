#include "engines/nerith/matrix.h"

#include "engines/nerith/largepages.h"
#include "engines/nerith/ordering.h"

#include <SuiteSparse_config.h>
#include <klu.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

namespace nerith {

namespace {

// Nested dissection is tried on matrices of at least this many equations, when minimum degree
// needs this many operations an equation to factor them, and taken when it needs at most this share
// of those: meshes gain much, chains and most circuits nothing.
constexpr int32_t DissectFrom = 20000;
constexpr double DissectWorth = 1000;
constexpr double DissectGain = 0.8;
constexpr double DissectRoom = 1.05;

// Values that differ from the factors' within at most this many equations, and this share of all,
// are corrected for rather than factored: each costs a solve when it first differs and a share of
// every later solve, where the factorisation of a mesh of thousands of nodes costs as much as ten
// or twenty solves.
constexpr int32_t MostUpdated = 64;
constexpr int32_t UpdatedShare = 8;

// KLU's row scalings: none, not even a check of the indices; by each row's largest magnitude.
constexpr int Unscaled = -1;
constexpr int RowMaximum = 2;

// KLU's ordering call for one block of the matrix: nested dissection, with the block's
// factorisation operations added to the double at `user_data`; the entries of its factor.
int dissect(int size, int* start, int* index, int* order, klu_common* common)
{
    const Pattern pattern { size, start, index };
    const std::vector<int32_t> made = nesteddissection(pattern);
    std::copy(made.begin(), made.end(), order);
    const Fill fill = fillof(pattern, made);
    *static_cast<double*>(common->user_data) += fill.flops;
    return static_cast<int>(std::clamp(fill.entries, 1.0, 1e9));
}

// The symbolic factorisation of the structure in place: minimum degree, or nested dissection where
// that promises far fewer operations.
klu_symbolic* ordered(int32_t equations, int32_t* columnStart, int32_t* rowIndex, klu_common& common)
{
    klu_symbolic* degree = klu_analyze(equations, columnStart, rowIndex, &common);
    if (!degree || equations < DissectFrom || degree->est_flops < DissectWorth * equations)
        return degree;
    double flops = 0;
    klu_common dissection = common;
    dissection.ordering = 3;
    dissection.user_order = &dissect;
    dissection.user_data = &flops;
    klu_symbolic* dissected = klu_analyze(equations, columnStart, rowIndex, &dissection);
    if (dissected && flops < DissectGain * degree->est_flops) {
        klu_free_symbolic(&degree, &common);
        // The dissection's count of the fill is exact for pivots on the diagonal: the factors get
        // room for a few others, not for a fifth more.
        common.initmem_amd = DissectRoom;
        return dissected;
    }
    if (dissected)
        klu_free_symbolic(&dissected, &dissection);
    return degree;
}

// KLU allocates through SuiteSparse's configuration: its factors, the largest arrays of a run, come
// on large pages too.
void allocatelargefactors()
{
    static std::once_flag once;
    std::call_once(once, [] {
        SuiteSparse_config.malloc_func = &mallocadvised;
        SuiteSparse_config.calloc_func = &callocadvised;
        SuiteSparse_config.realloc_func = &reallocadvised;
        SuiteSparse_config.free_func = &std::free;
    });
}

} // namespace

struct SparseMatrix::Factors {
    klu_common common {};
    klu_symbolic* symbolic = nullptr;
    klu_numeric* numeric = nullptr;
    klu_numeric* complex = nullptr; // of the complex system, on the same symbolic analysis
    double growth = 0; // reciprocal pivot growth of the last fresh pivoting
    double spread = 0; // smallest over largest pivot magnitude then
    std::vector<double> rowweight; // the reciprocals of its row scales, in pivot order
    bool scaledrefactors = false; // an unscaled refactorisation since then looked doubtful
    double complexspread = 0; // the same of the last fresh complex pivoting

    Factors()
    {
        allocatelargefactors();
        klu_defaults(&common);
        common.halt_if_singular = 1;
    }
    ~Factors()
    {
        dropnumeric();
        dropcomplex();
        if (symbolic)
            klu_free_symbolic(&symbolic, &common);
    }
    Factors(const Factors&) = delete;
    Factors& operator=(const Factors&) = delete;
    void dropnumeric()
    {
        if (numeric)
            klu_free_numeric(&numeric, &common);
    }
    void dropcomplex()
    {
        if (complex)
            klu_z_free_numeric(&complex, &common);
    }
};

// The pivots of the factors in place, in one pass.
struct SparseMatrix::Pivots {
    double least = 0; // smallest and largest magnitude
    double most = 0;
    int32_t bad = 0; // the equation of the first pivot below the threshold or no number; 0: none
};

SparseMatrix::SparseMatrix()
    : factors(std::make_unique<Factors>())
{
}

SparseMatrix::~SparseMatrix() = default;

void SparseMatrix::reset(int32_t count)
{
    equations = count;
    newRows.clear();
    newColumns.clear();
    placeEntry.clear();
    chunks.clear();
    cellRows.clear();
    cellColumns.clear();
    cellEntry.clear();
    columnStart.clear();
    rowIndex.clear();
    values.assign(Sinks, 0.0);
    imag.clear();
    interleaved.clear();
    complexrhs.clear();
    sink = 0;
    factored.clear();
    update.reset();
    scratch = 0;
    structureChanged = true;
    factors = std::make_unique<Factors>();
    stats = Statistics {};
}

void SparseMatrix::grow(int32_t count)
{
    if (count <= equations)
        return;
    equations = count;
    structureChanged = true;
}

int32_t SparseMatrix::place(int32_t row, int32_t column)
{
    if (row <= 0 || column <= 0 || row > equations || column > equations)
        return Ground;
    newRows.push_back(row);
    newColumns.push_back(column);
    structureChanged = true;
    ++stats.places;
    return static_cast<int32_t>(placeEntry.size() + newRows.size() - 1);
}

double* SparseMatrix::element(int32_t row, int32_t column)
{
    if (row < 0 || column < 0 || row > equations || column > equations)
        return nullptr;
    if (row == 0 || column == 0)
        return &scratch;
    const std::size_t index = cellRows.size();
    if (index % ChunkSize == 0)
        chunks.push_back(std::make_unique<double[]>(ChunkSize));
    cellRows.push_back(row);
    cellColumns.push_back(column);
    structureChanged = true;
    ++stats.places;
    return &chunks[index >> ChunkBits][index & (ChunkSize - 1)];
}

void SparseMatrix::clear()
{
    std::fill(values.begin(), values.end(), 0.0);
    std::size_t left = cellRows.size();
    for (auto& chunk : chunks) {
        const std::size_t used = std::min(left, ChunkSize);
        std::fill_n(chunk.get(), used, 0.0);
        left -= used;
    }
    scratch = 0;
}

// Compressed columns from the places and cells: a counting sort by column, then by row within each
// column, with those of one place sharing an entry.
bool SparseMatrix::analyse()
{
    const std::size_t n = static_cast<std::size_t>(equations);
    // Places analysed before are known by their entries, later ones by their rows and columns.
    LargeVector<int32_t> placeRows = std::move(newRows);
    LargeVector<int32_t> placeColumns = std::move(newColumns);
    newRows = {};
    newColumns = {};
    if (!placeEntry.empty()) {
        LargeVector<int32_t> columnOf(rowIndex.size());
        for (std::size_t c = 0; c + 1 < columnStart.size(); ++c)
            std::fill(columnOf.begin() + columnStart[c], columnOf.begin() + columnStart[c + 1],
                static_cast<int32_t>(c + 1));
        LargeVector<int32_t> rows(placeEntry.size());
        LargeVector<int32_t> columns(placeEntry.size());
        for (std::size_t i = 0; i < placeEntry.size(); ++i) {
            const auto entry = static_cast<std::size_t>(placeEntry[i]);
            rows[i] = rowIndex[entry] + 1;
            columns[i] = columnOf[entry];
        }
        rows.insert(rows.end(), placeRows.begin(), placeRows.end());
        columns.insert(columns.end(), placeColumns.begin(), placeColumns.end());
        placeRows = std::move(rows);
        placeColumns = std::move(columns);
    }
    const std::size_t places = placeRows.size();
    const std::size_t total = places + cellRows.size();
    auto rowof = [&](std::size_t i) { return i < places ? placeRows[i] : cellRows[i - places]; };
    auto columnof = [&](std::size_t i) { return i < places ? placeColumns[i] : cellColumns[i - places]; };
    LargeVector<int32_t> start(n + 1, 0);
    for (std::size_t i = 0; i < total; ++i)
        ++start[static_cast<std::size_t>(columnof(i))];
    for (std::size_t c = 1; c <= n; ++c)
        start[c] += start[c - 1];
    LargeVector<int32_t> sorted(total);
    {
        LargeVector<int32_t> next(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < total; ++i)
            sorted[static_cast<std::size_t>(next[static_cast<std::size_t>(columnof(i) - 1)]++)]
                = static_cast<int32_t>(i);
    }

    placeEntry.assign(places, 0);
    cellEntry.assign(cellRows.size(), 0);
    columnStart.assign(n + 1, 0);
    rowIndex.clear();
    rowIndex.reserve(total);
    for (std::size_t c = 0; c < n; ++c) {
        auto first = sorted.begin() + start[c];
        auto last = sorted.begin() + start[c + 1];
        std::sort(first, last, [&](int32_t a, int32_t b) {
            return rowof(static_cast<std::size_t>(a)) < rowof(static_cast<std::size_t>(b));
        });
        int32_t previous = 0;
        for (auto it = first; it != last; ++it) {
            const auto i = static_cast<std::size_t>(*it);
            const int32_t row = rowof(i);
            if (row != previous)
                rowIndex.push_back(row - 1);
            previous = row;
            const auto entry = static_cast<int32_t>(rowIndex.size() - 1);
            if (i < places)
                placeEntry[i] = entry;
            else
                cellEntry[i - places] = entry;
        }
        columnStart[c + 1] = static_cast<int32_t>(rowIndex.size());
    }
    rowIndex.shrink_to_fit();
    sink = static_cast<int32_t>(rowIndex.size());
    values.assign(rowIndex.size() + Sinks, 0.0);
    factored.clear();
    update.reset();
    stats.nonzeros = rowIndex.size();

    factors = std::make_unique<Factors>();
    if (n > 0) {
        factors->symbolic = ordered(equations, columnStart.data(), rowIndex.data(), factors->common);
        if (!factors->symbolic)
            return false;
        ++stats.analyses;
    }
    structureChanged = false;
    return true;
}

void SparseMatrix::gather()
{
    std::size_t base = 0;
    const std::size_t cells = cellRows.size();
    for (auto& chunk : chunks) {
        const std::size_t used = std::min(cells - base, ChunkSize);
        const double* cell = chunk.get();
        const int32_t* entry = cellEntry.data() + base;
        for (std::size_t i = 0; i < used; ++i)
            values[static_cast<std::size_t>(entry[i])] += cell[i];
        base += used;
    }
}

// The row of the first entry that is infinite or no number; 0 when none.
int32_t SparseMatrix::notfinite() const
{
    for (std::size_t k = 0; k < rowIndex.size(); ++k) {
        if (!std::isfinite(values[k]))
            return rowIndex[k] + 1;
    }
    return 0;
}

// One pass over the pivots, each measured by `magnitude(k)`. A pivot below `pivtol` counts as
// vanished unless `unscaled(k)`, its magnitude in the matrix's own units, holds `pivtol` against the
// largest entry of its column: a row of huge conductances (a junction driven far forward) leaves
// its other entries tiny beside them, where a source's current, the only entry of its column, is
// still determined.
bool SparseMatrix::heldbycolumn(int32_t k, double unscaled, double pivtol) const
{
    const auto column = static_cast<std::size_t>(factors->symbolic->Q[k]);
    double largest = 0;
    for (int32_t q = columnStart[column]; q < columnStart[column + 1]; ++q)
        largest = std::max(largest, std::fabs(values[static_cast<std::size_t>(q)]));
    return largest > 0 && unscaled >= pivtol * largest;
}

template <class Magnitude, class Unscaled>
SparseMatrix::Pivots SparseMatrix::measure(double pivtol, Magnitude magnitude, Unscaled unscaled) const
{
    Pivots p;
    p.least = std::numeric_limits<double>::infinity();
    for (int32_t k = 0; k < equations; ++k) {
        const double m = magnitude(k);
        if (!(m >= pivtol) && p.bad == 0 && !heldbycolumn(k, unscaled(k), pivtol))
            p.bad = factors->symbolic->Q[k] + 1;
        p.least = std::min(p.least, m);
        p.most = std::max(p.most, m);
    }
    return p;
}

SparseMatrix::Pivots SparseMatrix::pivots(double pivtol) const
{
    const klu_numeric& numeric = *factors->numeric;
    const auto* diagonal = static_cast<const double*>(numeric.Udiag);
    // Unscaled factors are measured against the row scales of the fresh pivoting; the row scales
    // of scaled ones are in pivot order.
    const double* weight = numeric.Rs ? nullptr : factors->rowweight.data();
    return measure(
        pivtol, [&](int32_t k) { return std::fabs(diagonal[k]) * (weight ? weight[k] : 1.0); },
        [&](int32_t k) { return std::fabs(diagonal[k]) * (numeric.Rs ? numeric.Rs[k] : 1.0); });
}

SparseMatrix::Result SparseMatrix::factor(double pivtol, double pivrel, bool mayreuse)
{
    if (equations == 0)
        return {};
    if (structureChanged && !analyse())
        return { Status::NoMemory, 0 };
    gather();
    Factors& f = *factors;
    const std::size_t count = rowIndex.size();
    const bool corrected = update.active();
    if (mayreuse && f.numeric && factored.size() == count
        && update.take(equations, columnStart.data(), rowIndex.data(), values.data(), factored.data(),
            std::min(MostUpdated, equations / UpdatedShare))) {
        if (!update.active()) {
            ++stats.reuses;
            return { Status::Ok, 0, !corrected };
        }
        if (update.prepare([&](double* x, int32_t columns) {
                klu_solve(f.symbolic, f.numeric, equations, columns, x, &f.common);
            })) {
            ++stats.updates;
            return {};
        }
    }
    update.reset();
    f.common.tol = pivrel;
    Result result;
    const bool again = f.numeric != nullptr;
    if (f.numeric) {
        ++stats.refactorisations;
        // Refactorisations leave out KLU's row scaling, a pass over the matrix and a division per
        // entry; one whose pivots look doubtful is made and judged again as the fresh pivoting was.
        // Once that happened, the refactorisations up to the next fresh pivoting are scaled at
        // once: a matrix whose values swing so (switching CMOS) would be factored twice each time.
        auto refactor = [&](int scale) {
            f.common.scale = scale;
            return klu_refactor(
                       columnStart.data(), rowIndex.data(), values.data(), f.symbolic, f.numeric, &f.common)
                != 0;
        };
        auto steady = [&](const Pivots& p) { return p.bad == 0 && p.least >= f.spread * pivrel * p.most; };
        bool made = true;
        bool sound = false;
        if (!f.scaledrefactors) {
            made = refactor(Unscaled);
            sound = made && steady(pivots(pivtol));
            f.scaledrefactors = made && !sound;
        }
        if (made && !sound && refactor(RowMaximum)) {
            const Pivots p = pivots(pivtol);
            sound = p.bad == 0;
            // Pivots that spread much further than at the fresh pivoting may have grown unstable.
            if (sound && !steady(p))
                sound = klu_rgrowth(columnStart.data(), rowIndex.data(), values.data(), f.symbolic, f.numeric,
                            &f.common)
                    && f.common.rgrowth >= f.growth * pivrel;
        }
        if (!sound) {
            // The values moved too far for the old pivot order, or are no numbers.
            f.dropnumeric();
            result = fresh(pivtol, pivrel);
        }
    } else {
        result = fresh(pivtol, pivrel);
    }
    // The values are kept for the comparison from the second factorisation of a structure on: an
    // operating point factors once, and its matrix may be the largest the run holds.
    if (result.status == Status::Ok && mayreuse && again)
        factored.assign(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count));
    else
        factored.clear();
    return result;
}

// Factors with fresh pivoting; values that are no numbers are named rather than pivoted on.
SparseMatrix::Result SparseMatrix::fresh(double pivtol, double pivrel)
{
    Factors& f = *factors;
    if (int32_t row = notfinite())
        return { Status::NotFinite, row };
    ++stats.factorisations;
    f.scaledrefactors = false;
    f.common.scale = RowMaximum;
    f.numeric = klu_factor(columnStart.data(), rowIndex.data(), values.data(), f.symbolic, &f.common);
    if (!f.numeric) {
        if (f.common.status == KLU_SINGULAR)
            return { Status::Singular, f.common.singular_col + 1 };
        return { Status::NoMemory, 0 };
    }
    const Pivots p = pivots(pivtol);
    if (p.bad) {
        f.dropnumeric();
        return { Status::Singular, p.bad };
    }
    f.spread = p.least / p.most;
    f.rowweight.resize(static_cast<std::size_t>(equations));
    std::transform(
        f.numeric->Rs, f.numeric->Rs + equations, f.rowweight.begin(), [](double s) { return 1 / s; });
    f.growth
        = klu_rgrowth(columnStart.data(), rowIndex.data(), values.data(), f.symbolic, f.numeric, &f.common)
        ? f.common.rgrowth
        : 0;
    stats.factorNonzeros
        = static_cast<std::size_t>(f.numeric->lnz) + static_cast<std::size_t>(f.numeric->unz);
    stats.peakBytes = std::max(stats.peakBytes, f.common.mempeak);
    return {};
}

std::vector<SparseMatrix::Share> SparseMatrix::undetermined(double pivtol)
{
    if (equations == 0 || structureChanged || !factors || !factors->symbolic)
        return {};
    // Factored on past the first vanished pivot: the columns of U before it are sound.
    klu_common common = factors->common;
    common.halt_if_singular = 0;
    common.scale = RowMaximum;
    klu_numeric* numeric = klu_factor(columnStart.data(), rowIndex.data(), values.data(), factors->symbolic, &common);
    if (!numeric)
        return {};
    const auto n = static_cast<std::size_t>(equations);
    const auto* diagonal = static_cast<const double*>(numeric->Udiag);
    std::size_t bad = n;
    for (std::size_t k = 0; k < n && bad == n; ++k) {
        const double pivot = std::fabs(diagonal[k]);
        if (!(pivot >= pivtol) && !heldbycolumn(static_cast<int32_t>(k), pivot * numeric->Rs[k], pivtol))
            bad = k;
    }
    std::vector<Share> shares;
    const klu_symbolic& symbolic = *factors->symbolic;
    std::vector<int> up(n + 1);
    std::vector<int> ui(static_cast<std::size_t>(std::max(numeric->unz, 1)));
    std::vector<double> ux(ui.size());
    std::vector<int> blocks(static_cast<std::size_t>(symbolic.nblocks) + 1);
    if (bad < n
        && klu_extract(numeric, factors->symbolic, nullptr, nullptr, nullptr, up.data(), ui.data(), ux.data(),
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, blocks.data(), &common)) {
        // The vector that column `bad` of U, with those before it in its block, sends to zero: 1
        // at the vanished pivot, the rest by back substitution over the columns before it.
        std::size_t first = 0;
        for (std::size_t b = 0; b + 1 < blocks.size(); ++b) {
            if (static_cast<std::size_t>(blocks[b]) <= bad)
                first = static_cast<std::size_t>(blocks[b]);
        }
        std::vector<double> x(n, 0.0);
        std::vector<double> residual(n, 0.0);
        x[bad] = 1;
        for (int q = up[bad]; q < up[bad + 1]; ++q) {
            const auto i = static_cast<std::size_t>(ui[static_cast<std::size_t>(q)]);
            if (i < bad)
                residual[i] = -ux[static_cast<std::size_t>(q)];
        }
        for (std::size_t j = bad; j-- > first;) {
            x[j] = residual[j] / diagonal[j];
            for (int q = up[j]; q < up[j + 1]; ++q) {
                const auto i = static_cast<std::size_t>(ui[static_cast<std::size_t>(q)]);
                if (i < j)
                    residual[i] -= ux[static_cast<std::size_t>(q)] * x[j];
            }
        }
        double largest = 0;
        for (std::size_t j = first; j <= bad; ++j)
            largest = std::max(largest, std::isfinite(x[j]) ? std::fabs(x[j]) : 0.0);
        for (std::size_t j = first; j <= bad; ++j) {
            if (std::isfinite(x[j]) && std::fabs(x[j]) > 1e-6 * largest)
                shares.push_back({ symbolic.Q[j] + 1, std::fabs(x[j]) / largest });
        }
        std::sort(shares.begin(), shares.end(), [](const Share& a, const Share& b) { return a.share > b.share; });
    }
    klu_free_numeric(&numeric, &common);
    return shares;
}

SparseMatrix::Compressed SparseMatrix::compressed() const
{
    Compressed c { equations, columnStart.data(), rowIndex.data(), values.data(), {}, {} };
    if (const klu_numeric* numeric = factors->numeric) {
        c.rows.assign(numeric->Pnum, numeric->Pnum + equations);
        c.columns.assign(factors->symbolic->Q, factors->symbolic->Q + equations);
    }
    return c;
}

void SparseMatrix::solve(double* rhs)
{
    if (equations > 0)
        klu_solve(factors->symbolic, factors->numeric, equations, 1, rhs + 1, &factors->common);
    if (update.active())
        update.correct(rhs + 1);
    rhs[0] = 0;
}

void SparseMatrix::clearimaginary()
{
    std::fill(imag.begin(), imag.end(), 0.0);
}

double* SparseMatrix::imaginary()
{
    if (imag.size() != values.size())
        imag.assign(values.size(), 0.0);
    return imag.data();
}

SparseMatrix::Pivots SparseMatrix::complexpivots(double pivtol) const
{
    const auto* diagonal = static_cast<const double*>(factors->complex->Udiag);
    return measure(
        pivtol, [&](int32_t k) { return std::hypot(diagonal[2 * k], diagonal[2 * k + 1]); }, [](int32_t) { return 0.0; });
}

SparseMatrix::Result SparseMatrix::factorcomplex(double pivtol, double pivrel)
{
    if (equations == 0)
        return {};
    if (structureChanged && !analyse())
        return { Status::NoMemory, 0 };
    gather();
    imaginary();
    const std::size_t count = rowIndex.size();
    interleaved.resize(2 * count);
    for (std::size_t k = 0; k < count; ++k) {
        interleaved[2 * k] = values[k];
        interleaved[2 * k + 1] = imag[k];
    }
    Factors& f = *factors;
    f.common.tol = pivrel;
    // The complex factors are always scaled: their pivots are judged as KLU made them.
    f.common.scale = RowMaximum;
    if (f.complex) {
        ++stats.refactorisations;
        if (klu_z_refactor(
                columnStart.data(), rowIndex.data(), interleaved.data(), f.symbolic, f.complex, &f.common)) {
            const Pivots p = complexpivots(pivtol);
            // Pivots that spread much further than at the fresh pivoting may have grown unstable.
            if (p.bad == 0 && p.least >= f.complexspread * pivrel * p.most)
                return {};
        }
        f.dropcomplex();
    }
    return freshcomplex(pivtol, pivrel);
}

SparseMatrix::Result SparseMatrix::freshcomplex(double pivtol, double pivrel)
{
    Factors& f = *factors;
    for (std::size_t k = 0; k < rowIndex.size(); ++k) {
        if (!std::isfinite(values[k]) || !std::isfinite(imag[k]))
            return { Status::NotFinite, rowIndex[k] + 1 };
    }
    ++stats.factorisations;
    f.common.tol = pivrel;
    f.complex = klu_z_factor(columnStart.data(), rowIndex.data(), interleaved.data(), f.symbolic, &f.common);
    if (!f.complex) {
        if (f.common.status == KLU_SINGULAR)
            return { Status::Singular, f.common.singular_col + 1 };
        return { Status::NoMemory, 0 };
    }
    const Pivots p = complexpivots(pivtol);
    if (p.bad) {
        f.dropcomplex();
        return { Status::Singular, p.bad };
    }
    f.complexspread = p.least / p.most;
    stats.peakBytes = std::max(stats.peakBytes, f.common.mempeak);
    return {};
}

void SparseMatrix::solvecomplex(double* real, double* imagpart, bool transposed)
{
    if (equations > 0) {
        const auto n = static_cast<std::size_t>(equations);
        complexrhs.resize(2 * n);
        for (std::size_t k = 0; k < n; ++k) {
            complexrhs[2 * k] = real[k + 1];
            complexrhs[2 * k + 1] = imagpart[k + 1];
        }
        Factors& f = *factors;
        if (transposed)
            klu_z_tsolve(f.symbolic, f.complex, equations, 1, complexrhs.data(), 0, &f.common);
        else
            klu_z_solve(f.symbolic, f.complex, equations, 1, complexrhs.data(), &f.common);
        for (std::size_t k = 0; k < n; ++k) {
            real[k + 1] = complexrhs[2 * k];
            imagpart[k + 1] = complexrhs[2 * k + 1];
        }
    }
    real[0] = 0;
    imagpart[0] = 0;
}

} // namespace nerith
