#pragma once

#include <cstdint>
#include <vector>

namespace nerith {

// The sparsity pattern of a square matrix in compressed columns: column j holds the rows
// index[start[j] .. start[j + 1]).
struct Pattern {
    int32_t size = 0;
    const int32_t* start = nullptr;
    const int32_t* index = nullptr;
};

// What eliminating a symmetric pattern in a given order costs: the entries of its Cholesky factor
// (diagonal included) and the multiply-adds an LU factorisation of that structure takes.
struct Fill {
    double entries = 0;
    double flops = 0;
};

// A fill-reducing order of the pattern of A + A' by nested dissection: each connected part is
// split by a level of a breadth-first search from a far vertex, the parts on either side are
// ordered first, recursively, and the separating level last. Meshes and other circuits of wide,
// regular structure fill far less than under minimum degree; chains and trees fill not at all.
// order[k] is the column eliminated k-th.
std::vector<int32_t> nesteddissection(const Pattern& pattern);

// The fill of eliminating the pattern of A + A' in `order`.
Fill fillof(const Pattern& pattern, const std::vector<int32_t>& order);

} // namespace nerith
