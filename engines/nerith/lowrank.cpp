#include "engines/nerith/lowrank.h"

#include <algorithm>
#include <cmath>

namespace nerith {

void LowRankUpdate::reset()
{
    for (int32_t e : rows)
        slot[static_cast<std::size_t>(e)] = -1;
    rows.clear();
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
    for (int32_t e : rows)
        slot[static_cast<std::size_t>(e)] = -1;
    rows.clear();
    entries.clear();
    differences.clear();
    const int32_t total = start[count];
    for (int32_t p = 0;; ++p) {
        p = static_cast<int32_t>(std::mismatch(values + p, values + total, factored + p).first - values);
        if (p >= total)
            return true;
        int32_t& at = slot[static_cast<std::size_t>(index[p])];
        if (at < 0) {
            if (static_cast<int32_t>(rows.size()) == most) {
                reset();
                return false;
            }
            at = static_cast<int32_t>(rows.size());
            rows.push_back(index[p]);
        }
        const auto column = static_cast<int32_t>(std::upper_bound(start, start + count + 1, p) - start - 1);
        entries.emplace_back(at, column);
        differences.push_back(values[p] - factored[p]);
    }
}

bool LowRankUpdate::prepare(const std::function<void(double*, int32_t)>& solve)
{
    const std::size_t k = rows.size();
    const auto n = static_cast<std::size_t>(size);
    const std::size_t first = columns.size() / n;
    std::size_t made = first;
    for (int32_t e : rows) {
        int32_t& column = columnof[static_cast<std::size_t>(e)];
        if (column < 0)
            column = static_cast<int32_t>(made++);
    }
    if (made > first) {
        // The new columns are solved together: KLU takes several right-hand sides in one pass.
        columns.resize(made * n, 0.0);
        for (int32_t e : rows) {
            const auto c = static_cast<std::size_t>(columnof[static_cast<std::size_t>(e)]);
            if (c >= first)
                columns[c * n + static_cast<std::size_t>(e)] = 1;
        }
        solve(columns.data() + first * n, static_cast<int32_t>(made - first));
    }
    near.resize(k);
    for (std::size_t j = 0; j < k; ++j)
        near[j] = columnof[static_cast<std::size_t>(rows[j])];
    // I + D W: an entry (i, c) of D adds d times W's row at equation c to row i. The entries come
    // column by column, so each of W's rows is gathered once.
    system.assign(k * k, 0.0);
    for (std::size_t i = 0; i < k; ++i)
        system[i * k + i] = 1;
    across.resize(k);
    for (std::size_t q = 0; q < entries.size(); ++q) {
        const auto [i, c] = entries[q];
        if (q == 0 || c != entries[q - 1].second) {
            for (std::size_t j = 0; j < k; ++j)
                across[j] = columns[static_cast<std::size_t>(near[j]) * n + static_cast<std::size_t>(c)];
        }
        const double d = differences[q];
        double* into = system.data() + static_cast<std::size_t>(i) * k;
        for (std::size_t j = 0; j < k; ++j)
            into[j] += d * across[j];
    }
    // Gaussian elimination with partial pivoting, in place. The pivot is its column's largest
    // entry, so the system is singular when that is zero.
    pivot.resize(k);
    double* s = system.data();
    for (std::size_t c = 0; c < k; ++c) {
        std::size_t best = c;
        double largest = std::fabs(s[c * k + c]);
        for (std::size_t r = c + 1; r < k; ++r) {
            if (std::fabs(s[r * k + c]) > largest) {
                best = r;
                largest = std::fabs(s[r * k + c]);
            }
        }
        if (!std::isfinite(largest) || !(largest > 0)) {
            reset();
            return false;
        }
        pivot[c] = static_cast<int32_t>(best);
        if (best != c)
            std::swap_ranges(s + c * k, s + (c + 1) * k, s + best * k);
        const double p = s[c * k + c];
        const double* __restrict top = s + c * k;
        for (std::size_t r = c + 1; r < k; ++r) {
            double* __restrict row = s + r * k;
            const double factor = row[c] / p;
            row[c] = factor;
            for (std::size_t j = c + 1; j < k; ++j)
                row[j] -= factor * top[j];
        }
    }
    return true;
}

void LowRankUpdate::solvesmall(double* z) const
{
    const std::size_t k = rows.size();
    // The elimination swapped whole rows, multipliers included: the right-hand side takes every
    // swap before the multipliers apply.
    for (std::size_t c = 0; c < k; ++c)
        std::swap(z[c], z[static_cast<std::size_t>(pivot[c])]);
    for (std::size_t c = 0; c < k; ++c) {
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
    const std::size_t k = rows.size();
    const auto n = static_cast<std::size_t>(size);
    scratch.assign(k, 0.0);
    for (std::size_t q = 0; q < entries.size(); ++q) {
        const auto [i, c] = entries[q];
        scratch[static_cast<std::size_t>(i)] += differences[q] * y[c];
    }
    solvesmall(scratch.data());
    // y -= W z, four columns a pass over y, each entry's subtractions in the order of the columns.
    auto column = [&](std::size_t j) { return columns.data() + static_cast<std::size_t>(near[j]) * n; };
    std::size_t j = 0;
    for (; j + 4 <= k; j += 4) {
        const double* __restrict w0 = column(j);
        const double* __restrict w1 = column(j + 1);
        const double* __restrict w2 = column(j + 2);
        const double* __restrict w3 = column(j + 3);
        const double z0 = scratch[j], z1 = scratch[j + 1], z2 = scratch[j + 2], z3 = scratch[j + 3];
        for (std::size_t r = 0; r < n; ++r)
            y[r] = y[r] - z0 * w0[r] - z1 * w1[r] - z2 * w2[r] - z3 * w3[r];
    }
    for (; j < k; ++j) {
        const double* __restrict w = column(j);
        const double z = scratch[j];
        for (std::size_t r = 0; r < n; ++r)
            y[r] -= z * w[r];
    }
}

} // namespace nerith
