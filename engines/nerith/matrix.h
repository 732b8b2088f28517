#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace nerith {

// The circuit matrix over equations 1..size(), factored with a sparse LU (KLU).
//
// Devices stamp through cell pointers handed out by element(); they stay valid until reset(), through
// every reordering and refactorisation. Each call makes its own cell, and cells of one place are
// summed, so stamps never need a look-up. The structure is analysed once, on the first factorisation
// after cells were added; later factorisations reuse the pivot order and fall back to fresh pivoting
// only when a pivot got too small, and values equal to the last factored ones keep their factors. A
// singular matrix is reported with the equation it was found at.
class SparseMatrix {
public:
    SparseMatrix();
    ~SparseMatrix();
    SparseMatrix(const SparseMatrix&) = delete;
    SparseMatrix& operator=(const SparseMatrix&) = delete;

    // Drops every cell and the factors; the matrix then has `equations` equations and no cells.
    void reset(int32_t equations);
    // Raises the number of equations; new equations have no cells yet.
    void grow(int32_t equations);
    int32_t size() const { return equations; }
    // A new cell at (row, column), zero until stamped. Row or column 0 (ground) gives the scratch
    // cell, which is never read. Null when a number is out of range.
    double* element(int32_t row, int32_t column);
    // Zeroes every cell before a new load.
    void clear();

    enum class Status { Ok, Singular, NotFinite, NoMemory };
    struct Result {
        Status status = Status::Ok;
        int32_t equation = 0; // Singular: the equation whose pivot vanished; NotFinite: a row with
                              // an infinite or undefined entry
    };
    // Factors the present cell values. A pivot smaller than `pivtol` (relative to the largest entry
    // of its row) counts as zero; `pivrel` is the partial-pivoting threshold of fresh pivoting.
    Result factor(double pivtol, double pivrel);
    // Solves with the last factors in place: rhs[1..size()] in, the solution out; rhs[0] becomes 0.
    // Only after a factor() that returned Ok.
    void solve(double* rhs);

    struct Statistics {
        int64_t analyses = 0; // structural analyses (orderings)
        int64_t factorisations = 0; // factorisations with fresh pivoting
        int64_t refactorisations = 0; // factorisations that reused the pivot order
        int64_t reuses = 0; // factorisations left out: the values were those of the factors
        std::size_t cells = 0; // cells handed out
        std::size_t nonzeros = 0; // distinct places of the matrix
        std::size_t factorNonzeros = 0; // entries of L and U
        std::size_t peakBytes = 0; // the largest memory the factorisation held
    };
    const Statistics& statistics() const { return stats; }

private:
    struct Factors;

    bool analyse();
    void gather();
    int32_t smallpivot(double pivtol) const;
    int32_t notfinite() const;

    static constexpr int ChunkBits = 14;
    static constexpr std::size_t ChunkSize = std::size_t(1) << ChunkBits;

    int32_t equations = 0;
    std::vector<std::unique_ptr<double[]>> chunks; // cell values, never moved
    std::vector<int32_t> rows; // place of each cell
    std::vector<int32_t> columns;
    std::vector<int32_t> position; // each cell's entry in the compressed columns
    std::vector<int32_t> columnStart;
    std::vector<int32_t> rowIndex;
    std::vector<double> values; // the compressed columns, gathered from the cells
    std::vector<double> factored; // the values the factors in place were made from
    double scratch = 0;
    bool structureChanged = true;
    std::unique_ptr<Factors> factors;
    Statistics stats;
};

} // namespace nerith
