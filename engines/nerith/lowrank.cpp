#include "engines/nerith/lowrank.h"

#include <algorithm>
#include <cmath>

namespace nerith {

namespace {

// A pivot of the dense system this much smaller than its column's largest entry makes it singular
// in practice: A is factored afresh rather than corrected through it.
constexpr double LeastPivot = 1e-12;

} // namespace

void LowRankUpdate::reset()
{
    for (int32_t e : equations)
        slot[static_cast<std::size_t>(e)] = -1;
    equations.clear();
    entries.clear();
    differences.clear();
    std::fill(columnof.begin(), columnof.end(), -1);
    columns.clear();
}

bool LowRankUpdate::take(int32_t count, const int32_t* start, const int32_t* index, const double* values,
    const double* factored, int32_t most)
{
    if (size != count) {
        size = count;
        slot.assign(static_cast<std::size_t>(count), -1);
        columnof.assign(static_cast<std::size_t>(count), -1);
        columns.clear();
    }
    for (int32_t e : equations)
        slot[static_cast<std::size_t>(e)] = -1;
    equations.clear();
    entries.clear();
    differences.clear();
    auto join = [&](int32_t e) {
        int32_t& at = slot[static_cast<std::size_t>(e)];
        if (at < 0) {
            at = static_cast<int32_t>(equations.size());
            equations.push_back(e);
        }
        return at;
    };
    const int32_t total = start[count];
    for (int32_t p = 0;; ++p) {
        p = static_cast<int32_t>(std::mismatch(values + p, values + total, factored + p).first - values);
        if (p >= total)
            return true;
        const auto column = static_cast<int32_t>(std::upper_bound(start, start + count + 1, p) - start - 1);
        entries.emplace_back(join(index[p]), join(column));
        differences.push_back(values[p] - factored[p]);
        if (static_cast<int32_t>(equations.size()) > most) {
            reset();
            return false;
        }
    }
}

bool LowRankUpdate::prepare(const std::function<void(double*)>& solve)
{
    const std::size_t k = equations.size();
    const auto n = static_cast<std::size_t>(size);
    for (int32_t e : equations) {
        int32_t& column = columnof[static_cast<std::size_t>(e)];
        if (column >= 0)
            continue;
        column = static_cast<int32_t>(columns.size() / n);
        columns.resize(columns.size() + n, 0.0);
        double* w = columns.data() + static_cast<std::size_t>(column) * n;
        w[e] = 1;
        solve(w);
    }
    // I + D W_E, row i of D W_E being the sum over D's entries (i, m) of d times row m of W_E.
    system.assign(k * k, 0.0);
    for (std::size_t i = 0; i < k; ++i)
        system[i * k + i] = 1;
    for (std::size_t q = 0; q < entries.size(); ++q) {
        const auto [i, m] = entries[q];
        const double d = differences[q];
        const auto row = static_cast<std::size_t>(equations[static_cast<std::size_t>(m)]);
        double* into = system.data() + static_cast<std::size_t>(i) * k;
        for (std::size_t j = 0; j < k; ++j)
            into[j] += d
                * columns[static_cast<std::size_t>(columnof[static_cast<std::size_t>(equations[j])]) * n
                    + row];
    }
    // Gaussian elimination with partial pivoting, in place.
    pivot.resize(k);
    for (std::size_t c = 0; c < k; ++c) {
        std::size_t best = c;
        for (std::size_t r = c + 1; r < k; ++r) {
            if (std::fabs(system[r * k + c]) > std::fabs(system[best * k + c]))
                best = r;
        }
        double largest = 0;
        for (std::size_t r = c; r < k; ++r)
            largest = std::max(largest, std::fabs(system[r * k + c]));
        const double p = system[best * k + c];
        if (!std::isfinite(largest) || !(std::fabs(p) > LeastPivot * largest)) {
            reset();
            return false;
        }
        pivot[c] = static_cast<int32_t>(best);
        if (best != c)
            std::swap_ranges(system.begin() + static_cast<std::ptrdiff_t>(c * k),
                system.begin() + static_cast<std::ptrdiff_t>((c + 1) * k),
                system.begin() + static_cast<std::ptrdiff_t>(best * k));
        for (std::size_t r = c + 1; r < k; ++r) {
            const double factor = system[r * k + c] / p;
            system[r * k + c] = factor;
            for (std::size_t j = c + 1; j < k; ++j)
                system[r * k + j] -= factor * system[c * k + j];
        }
    }
    return true;
}

void LowRankUpdate::solvesmall(double* z) const
{
    const std::size_t k = equations.size();
    for (std::size_t c = 0; c < k; ++c) {
        std::swap(z[c], z[static_cast<std::size_t>(pivot[c])]);
        for (std::size_t r = c + 1; r < k; ++r)
            z[r] -= system[r * k + c] * z[c];
    }
    for (std::size_t c = k; c-- > 0;) {
        for (std::size_t j = c + 1; j < k; ++j)
            z[c] -= system[c * k + j] * z[j];
        z[c] /= system[c * k + c];
    }
}

void LowRankUpdate::correct(double* y)
{
    const std::size_t k = equations.size();
    const auto n = static_cast<std::size_t>(size);
    scratch.assign(k, 0.0);
    for (std::size_t q = 0; q < entries.size(); ++q) {
        const auto [i, m] = entries[q];
        scratch[static_cast<std::size_t>(i)] += differences[q] * y[equations[static_cast<std::size_t>(m)]];
    }
    solvesmall(scratch.data());
    for (std::size_t j = 0; j < k; ++j) {
        const double* w
            = columns.data() + static_cast<std::size_t>(columnof[static_cast<std::size_t>(equations[j])]) * n;
        const double z = scratch[j];
        for (std::size_t r = 0; r < n; ++r)
            y[r] -= z * w[r];
    }
}

} // namespace nerith
