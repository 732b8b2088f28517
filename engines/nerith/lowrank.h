#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace nerith {

// A matrix A that differs from the matrix F whose factors are in place only within a few rows, as in
// a mostly linear circuit whose few nonlinear devices change their stamps at every iteration:
// A = F + E D, E the unit columns of those rows and D their differences (entries in any columns).
// Solutions with F's factors are corrected to A's (the Woodbury identity):
//
//   x = y - W (I + D W)^-1 D y,   y = F^-1 b,  W = F^-1 E
//
// which costs one solve with F and a dense system of the few rows, where factoring A would cost a
// factorisation of the whole. A column of W takes one solve, made when its row first differs and
// kept until F's factors change. Only the rows count: a transistor's stamps reach the columns of its
// gate, but its gate's row is the mesh's. Equations are numbered from 0 here.
class LowRankUpdate {
public:
    // Forgets every column and difference: F's factors changed.
    void reset();

    // The differences of `values` from `factored` (the values of F) over the compressed columns of
    // `equations` equations: false when they lie in more than `most` rows (the update then holds
    // none). An update without differences is not active().
    bool take(int32_t equations, const int32_t* start, const int32_t* index, const double* values,
        const double* factored, int32_t most);
    // Makes the columns of W the differences need, by `solve` (F^-1 in place, 0-based, on `count`
    // right-hand sides held `size` apart), and factors the dense system; false when that system is
    // singular or not finite (A is best factored then).
    bool prepare(const std::function<void(double* columns, int32_t count)>& solve);
    bool active() const { return !rows.empty(); }
    // Corrects F^-1 b in `y` (0-based) to A^-1 b.
    void correct(double* y);

private:
    // Solves the factored dense system in place.
    void solvesmall(double* z) const;

    int32_t size = 0;
    std::vector<int32_t> rows; // those that differ, in the order found
    std::vector<int32_t> slot; // by equation: its place among the rows, or -1
    // The differing entries, in the order of their columns: the place of the row, the column.
    std::vector<std::pair<int32_t, int32_t>> entries;
    std::vector<double> differences; // their values (A - F)

    std::vector<int32_t> columnof; // by equation: its column of W in `columns`, or -1
    std::vector<double> columns; // the columns of W made so far, `size` each
    std::vector<int32_t> near; // by place among the rows: its column of W
    std::vector<double> across; // W's row at one equation, by place among the rows
    std::vector<double> system; // I + D W, factored (row-major, k by k)
    std::vector<int32_t> pivot; // the rows of its partial pivoting
    std::vector<double> scratch;
};

} // namespace nerith
