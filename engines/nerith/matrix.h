#pragma once

#include "engines/nerith/largepages.h"
#include "engines/nerith/lowrank.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace nerith {

// The circuit matrix over equations 1..size(), factored with a sparse LU (KLU).
//
// Device families stamp straight into the compressed columns KLU factors: each reserves its places
// with place() when it binds and, once analyse() has fixed the structure, adds to stamps()[entry]
// for the entry of each place. Other callers stamp through cells from element(), which stay valid
// until reset() and are summed into the entries at each factorisation. Either way a place may be
// stamped by several callers; the values add up. The pivot order found at the first factorisation
// of a structure is reused while its pivots stay sound, and a factorisation that may reuse the
// factors keeps them when the values are those they were made from, or differ from those only
// within a few equations (the nonlinear devices of a mostly linear circuit): solutions are then
// corrected for the difference (lowrank.h). A singular matrix is reported with the equation it was
// found at.
class SparseMatrix {
public:
    SparseMatrix();
    ~SparseMatrix();
    SparseMatrix(const SparseMatrix&) = delete;
    SparseMatrix& operator=(const SparseMatrix&) = delete;

    // Drops every place, cell and the factors; the matrix then has `equations` equations.
    void reset(int32_t equations);
    // Raises the number of equations; new equations have no places yet.
    void grow(int32_t equations);
    int32_t size() const { return equations; }

    // A place at (row, column) for a family's stamps: its number, or Ground for a place on row or
    // column 0, whose stamps go to an entry that is never read. Numbers out of range give Ground
    // too; callers check their equation numbers first.
    static constexpr int32_t Ground = -1;
    int32_t place(int32_t row, int32_t column);
    // Whether places or cells were added since the structure was last analysed.
    bool stale() const { return structureChanged; }
    // Fixes the structure of every place and cell and orders it for the factorisation; false when
    // out of memory. Entries of places are valid from here until the next analyse().
    bool analyse();
    // The entry of stamps() a place's values go to. Ground goes to one of several sink entries,
    // picked by `spread`: stamps of neighbouring instances on one sink would wait for each other.
    int32_t entry(int32_t place, std::size_t spread = 0) const
    {
        return place == Ground ? sink + static_cast<int32_t>(spread % Sinks)
                               : placeEntry[static_cast<std::size_t>(place)];
    }
    double* stamps() { return values.data(); }

    // A new cell at (row, column), zero until stamped, valid until reset(). Row or column 0 (ground)
    // gives the scratch cell, which is never read. Null when a number is out of range.
    double* element(int32_t row, int32_t column);
    // Zeroes every entry and cell before a new load.
    void clear();

    enum class Status { Ok, Singular, NotFinite, NoMemory };
    struct Result {
        Status status = Status::Ok;
        int32_t equation = 0; // Singular: the equation whose pivot vanished; NotFinite: a row with
                              // an infinite or undefined entry
        bool kept = false; // Ok: the values are those of the last factorisation, whose factors serve
    };
    // Factors the present values. A pivot smaller than `pivtol` (relative to the largest entry of
    // its row when the pivot order was chosen) counts as zero unless it holds `pivtol` against the
    // largest entry of its column; `pivrel` is the partial-pivoting
    // threshold of fresh pivoting. With `mayreuse` the factors in place are kept when the values
    // are those they were made from or differ from them within a few equations.
    Result factor(double pivtol, double pivrel, bool mayreuse = true);
    // After a factor() that found the matrix singular: the equations whose values it leaves
    // undetermined, as the direction the matrix sends to zero moves them (the largest 1), largest
    // first; empty when that cannot be found. The vanished pivot's own column is often innocent:
    // its only row was taken as the pivot of another.
    struct Share {
        int32_t equation = 0;
        double share = 0;
    };
    std::vector<Share> undetermined(double pivtol);
    // Solves with the last factors in place: rhs[1..size()] in, the solution out; rhs[0] becomes 0.
    // Only after a factor() that returned Ok.
    void solve(double* rhs);

    // The complex system of the small-signal analyses, on the same structure: the entries' real
    // parts are stamps() and their imaginary parts imaginary(), which clearimaginary() zeroes (the
    // real loads' clear() leaves them alone); cells add to the real parts. Valid from an analyse()
    // until the next.
    double* imaginary();
    void clearimaginary();
    // Factors the complex values, with the pivot order of the last complex factorisation while its
    // pivots stay sound. A pivot smaller than `pivtol` (relative to its row) counts as zero.
    Result factorcomplex(double pivtol, double pivrel);
    // Solves with the complex factors in place: (real, imag)[1..size()] in, the solution out; [0]
    // becomes 0. `transposed` solves with the transpose of the matrix (not its conjugate). Only after
    // a factorcomplex() that returned Ok.
    void solvecomplex(double* real, double* imag, bool transposed = false);

    // The compressed columns and the row and column orders they are factored in: the matrix as
    // KLU sees it, for measuring KLU on it alone. After a factor() that returned Ok.
    struct Compressed {
        int32_t size = 0;
        const int32_t* start = nullptr;
        const int32_t* index = nullptr;
        const double* values = nullptr;
        std::vector<int32_t> rows;
        std::vector<int32_t> columns;
    };
    Compressed compressed() const;

    struct Statistics {
        int64_t analyses = 0; // structural analyses (orderings)
        int64_t factorisations = 0; // factorisations with fresh pivoting
        int64_t refactorisations = 0; // factorisations that reused the pivot order
        int64_t reuses = 0; // factorisations left out: the values were those of the factors
        int64_t updates = 0; // left out too: the values differed from them within a few equations
        std::size_t places = 0; // places and cells handed out
        std::size_t nonzeros = 0; // distinct places of the matrix
        std::size_t factorNonzeros = 0; // entries of L and U
        std::size_t peakBytes = 0; // the largest memory the factorisation held
    };
    const Statistics& statistics() const { return stats; }

private:
    struct Factors;
    struct Pivots;
    void gather();
    template <class Magnitude, class Unscaled>
    Pivots measure(double pivtol, Magnitude magnitude, Unscaled unscaled) const;
    // Whether the pivot at `k`, of magnitude `unscaled` in the matrix's units, holds `pivtol`
    // against the largest entry of its column.
    bool heldbycolumn(int32_t k, double unscaled, double pivtol) const;
    Pivots pivots(double pivtol) const;
    int32_t notfinite() const;
    Result fresh(double pivtol, double pivrel);
    Pivots complexpivots(double pivtol) const;
    Result freshcomplex(double pivtol, double pivrel);

    static constexpr std::size_t Sinks = 8;
    static constexpr int ChunkBits = 14;
    static constexpr std::size_t ChunkSize = std::size_t(1) << ChunkBits;

    int32_t equations = 0;
    LargeVector<int32_t> placeEntry; // of each family place analysed, its entry
    LargeVector<int32_t> newRows; // row and column of each place since, in order
    LargeVector<int32_t> newColumns;
    std::vector<std::unique_ptr<double[]>> chunks; // cell values, never moved
    LargeVector<int32_t> cellRows; // place of each cell
    LargeVector<int32_t> cellColumns;
    LargeVector<int32_t> cellEntry;
    LargeVector<int32_t> columnStart;
    LargeVector<int32_t> rowIndex;
    LargeVector<double> values; // the compressed columns, then the sink entries
    LargeVector<double> imag; // imaginary parts beside `values`; empty until a complex system is built
    LargeVector<double> interleaved; // real and imaginary parts of the compressed columns, for KLU
    LargeVector<double> complexrhs; // a complex right-hand side as KLU takes it
    int32_t sink = 0;
    LargeVector<double> factored; // the values the factors in place were made from, when reusable
    LowRankUpdate update; // the difference of the present values from those, when corrected for
    double scratch = 0;
    bool structureChanged = true;
    std::unique_ptr<Factors> factors;
    Statistics stats;
};

} // namespace nerith
