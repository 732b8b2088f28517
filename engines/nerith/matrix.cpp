#include "engines/nerith/matrix.h"

#include <klu.h>

#include <algorithm>
#include <cmath>

namespace nerith {

struct SparseMatrix::Factors {
    klu_common common {};
    klu_symbolic* symbolic = nullptr;
    klu_numeric* numeric = nullptr;
    double growth = 0; // reciprocal pivot growth of the last fresh pivoting

    Factors()
    {
        klu_defaults(&common);
        common.halt_if_singular = 1;
    }
    ~Factors()
    {
        dropnumeric();
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
};

SparseMatrix::SparseMatrix()
    : factors(std::make_unique<Factors>())
{
}

SparseMatrix::~SparseMatrix() = default;

void SparseMatrix::reset(int32_t count)
{
    equations = count;
    chunks.clear();
    rows.clear();
    columns.clear();
    position.clear();
    columnStart.clear();
    rowIndex.clear();
    values.clear();
    factored.clear();
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

double* SparseMatrix::element(int32_t row, int32_t column)
{
    if (row < 0 || column < 0 || row > equations || column > equations)
        return nullptr;
    if (row == 0 || column == 0)
        return &scratch;
    const std::size_t index = rows.size();
    if (index % ChunkSize == 0)
        chunks.push_back(std::make_unique<double[]>(ChunkSize));
    rows.push_back(row);
    columns.push_back(column);
    structureChanged = true;
    stats.cells = rows.size();
    return &chunks[index >> ChunkBits][index & (ChunkSize - 1)];
}

void SparseMatrix::clear()
{
    std::size_t left = rows.size();
    for (auto& chunk : chunks) {
        const std::size_t used = std::min(left, ChunkSize);
        std::fill_n(chunk.get(), used, 0.0);
        left -= used;
    }
    scratch = 0;
}

// Compressed columns from the cells: a counting sort by column, then by row within each column,
// with the cells of one place sharing an entry.
bool SparseMatrix::analyse()
{
    const std::size_t n = static_cast<std::size_t>(equations);
    const std::size_t cells = rows.size();
    std::vector<int32_t> start(n + 1, 0);
    for (int32_t column : columns)
        ++start[static_cast<std::size_t>(column)];
    for (std::size_t c = 1; c <= n; ++c)
        start[c] += start[c - 1];
    std::vector<int32_t> sorted(cells);
    std::vector<int32_t> next(start.begin(), start.end() - 1);
    for (std::size_t cell = 0; cell < cells; ++cell)
        sorted[static_cast<std::size_t>(next[static_cast<std::size_t>(columns[cell] - 1)]++)]
            = static_cast<int32_t>(cell);

    position.assign(cells, 0);
    columnStart.assign(n + 1, 0);
    rowIndex.clear();
    rowIndex.reserve(cells);
    for (std::size_t c = 0; c < n; ++c) {
        auto first = sorted.begin() + start[c];
        auto last = sorted.begin() + start[c + 1];
        std::sort(first, last, [this](int32_t a, int32_t b) {
            return rows[static_cast<std::size_t>(a)] < rows[static_cast<std::size_t>(b)];
        });
        int32_t previous = 0;
        for (auto it = first; it != last; ++it) {
            const int32_t row = rows[static_cast<std::size_t>(*it)];
            if (row != previous)
                rowIndex.push_back(row - 1);
            previous = row;
            position[static_cast<std::size_t>(*it)] = static_cast<int32_t>(rowIndex.size() - 1);
        }
        columnStart[c + 1] = static_cast<int32_t>(rowIndex.size());
    }
    values.assign(rowIndex.size(), 0.0);
    stats.nonzeros = rowIndex.size();

    factors = std::make_unique<Factors>();
    factors->symbolic = klu_analyze(equations, columnStart.data(), rowIndex.data(), &factors->common);
    if (!factors->symbolic)
        return false;
    ++stats.analyses;
    structureChanged = false;
    return true;
}

void SparseMatrix::gather()
{
    std::fill(values.begin(), values.end(), 0.0);
    std::size_t base = 0;
    const std::size_t cells = rows.size();
    for (auto& chunk : chunks) {
        const std::size_t used = std::min(cells - base, ChunkSize);
        const double* cell = chunk.get();
        const int32_t* place = position.data() + base;
        for (std::size_t i = 0; i < used; ++i)
            values[static_cast<std::size_t>(place[i])] += cell[i];
        base += used;
    }
}

// The row of the first entry that is infinite or no number; 0 when none.
int32_t SparseMatrix::notfinite() const
{
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (!std::isfinite(values[k]))
            return rowIndex[k] + 1;
    }
    return 0;
}

// The equation of the first pivot below the threshold (or not a number); 0 when none.
int32_t SparseMatrix::smallpivot(double pivtol) const
{
    const auto* pivots = static_cast<const double*>(factors->numeric->Udiag);
    for (int32_t k = 0; k < equations; ++k) {
        if (!(std::fabs(pivots[k]) >= pivtol))
            return factors->symbolic->Q[k] + 1;
    }
    return 0;
}

SparseMatrix::Result SparseMatrix::factor(double pivtol, double pivrel)
{
    if (equations == 0)
        return {};
    if (structureChanged && !analyse())
        return { Status::NoMemory, 0 };
    gather();
    if (int32_t row = notfinite())
        return { Status::NotFinite, row };
    Factors& f = *factors;
    if (f.numeric && values == factored) {
        ++stats.reuses;
        return {};
    }
    f.common.tol = pivrel;
    if (f.numeric) {
        ++stats.refactorisations;
        if (klu_refactor(columnStart.data(), rowIndex.data(), values.data(), f.symbolic, f.numeric, &f.common)
            && smallpivot(pivtol) == 0
            && klu_rgrowth(
                columnStart.data(), rowIndex.data(), values.data(), f.symbolic, f.numeric, &f.common)
            && f.common.rgrowth >= f.growth * pivrel) {
            factored = values;
            return {};
        }
        // The values moved too far for the old pivot order.
        f.dropnumeric();
    }
    ++stats.factorisations;
    f.numeric = klu_factor(columnStart.data(), rowIndex.data(), values.data(), f.symbolic, &f.common);
    if (!f.numeric) {
        if (f.common.status == KLU_SINGULAR)
            return { Status::Singular, f.common.singular_col + 1 };
        return { Status::NoMemory, 0 };
    }
    if (int32_t equation = smallpivot(pivtol)) {
        f.dropnumeric();
        return { Status::Singular, equation };
    }
    f.growth
        = klu_rgrowth(columnStart.data(), rowIndex.data(), values.data(), f.symbolic, f.numeric, &f.common)
        ? f.common.rgrowth
        : 0;
    stats.factorNonzeros
        = static_cast<std::size_t>(f.numeric->lnz) + static_cast<std::size_t>(f.numeric->unz);
    stats.peakBytes = std::max(stats.peakBytes, f.common.mempeak);
    factored = values;
    return {};
}

void SparseMatrix::solve(double* rhs)
{
    if (equations > 0)
        klu_solve(factors->symbolic, factors->numeric, equations, 1, rhs + 1, &factors->common);
    rhs[0] = 0;
}

} // namespace nerith
