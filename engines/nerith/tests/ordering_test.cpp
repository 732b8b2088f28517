// Nested dissection on the patterns it is chosen for, and the fill count that chooses it.
#include "engines/nerith/ordering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

using nerith::Fill;
using nerith::Pattern;

namespace {

// The pattern of a k by k grid of five-point stencils, stored as compressed columns.
struct Grid {
    std::vector<int32_t> start { 0 };
    std::vector<int32_t> index;

    explicit Grid(int32_t k)
    {
        for (int32_t y = 0; y < k; ++y) {
            for (int32_t x = 0; x < k; ++x) {
                const int32_t v = y * k + x;
                for (int32_t w : { v - k, v - 1, v, v + 1, v + k }) {
                    const bool inside = w >= 0 && w < k * k && (w / k == y || w % k == x);
                    if (inside)
                        index.push_back(w);
                }
                start.push_back(static_cast<int32_t>(index.size()));
            }
        }
    }
    Pattern pattern() const { return { static_cast<int32_t>(start.size()) - 1, start.data(), index.data() }; }
};

std::vector<int32_t> natural(int32_t n)
{
    std::vector<int32_t> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

} // namespace

TEST(Ordering, FillOfChainsAndGridsAsCounted)
{
    // A chain in its own order fills nothing: n diagonal entries and n - 1 below.
    std::vector<int32_t> start { 0 };
    std::vector<int32_t> index;
    const int32_t n = 1000;
    for (int32_t j = 0; j < n; ++j) {
        for (int32_t i : { j - 1, j, j + 1 }) {
            if (i >= 0 && i < n)
                index.push_back(i);
        }
        start.push_back(static_cast<int32_t>(index.size()));
    }
    const Pattern line { n, start.data(), index.data() };
    const Fill straight = nerith::fillof(line, natural(n));
    EXPECT_EQ(straight.entries, 2 * n - 1);
    EXPECT_EQ(straight.flops, 3 * (n - 1));

    // A 3 by 3 grid row by row: each row of the factor fills from its neighbour above on,
    // 1 + 2 + 2 + 6 times 4 entries.
    const Grid small(3);
    EXPECT_EQ(nerith::fillof(small.pattern(), natural(9)).entries, 29);
}

TEST(Ordering, NestedDissectionOfAGridFillsLessThanItsRows)
{
    const Grid grid(60);
    const Pattern pattern = grid.pattern();
    std::vector<int32_t> order = nerith::nesteddissection(pattern);
    std::vector<int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, natural(pattern.size)); // a permutation
    const Fill rows = nerith::fillof(pattern, natural(pattern.size));
    const Fill dissected = nerith::fillof(pattern, order);
    EXPECT_LT(dissected.entries, 0.5 * rows.entries);
    EXPECT_LT(dissected.flops, 0.2 * rows.flops);
}

TEST(Ordering, DisconnectedPartsAndSingletonsAreAllOrdered)
{
    // Two chains of 50 and ten lone diagonal entries.
    std::vector<int32_t> start { 0 };
    std::vector<int32_t> index;
    for (int32_t j = 0; j < 110; ++j) {
        for (int32_t i : { j - 1, j, j + 1 }) {
            const bool linked = j < 100 && i >= 0 && i < 100 && (i / 50 == j / 50);
            if (i == j || linked)
                index.push_back(i);
        }
        start.push_back(static_cast<int32_t>(index.size()));
    }
    const Pattern pattern { 110, start.data(), index.data() };
    std::vector<int32_t> order = nerith::nesteddissection(pattern);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, natural(110));
}
