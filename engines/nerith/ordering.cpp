#include "engines/nerith/ordering.h"

#include "engines/nerith/largepages.h"

#include <algorithm>
#include <utility>

namespace nerith {

namespace {

// Parts this small are not split further: their fill stays within them.
constexpr int32_t Leaf = 8;
// A separating level leaves at least this share of the rest of its set on either side; among
// those the narrowest separates, since a short separator is what keeps the fill small.
constexpr double Balance = 0.35;
// Breadth-first searches spent looking for a far vertex to start the levels from.
constexpr int Searches = 3;

// The adjacency of A + A' without the diagonal: the neighbours of v are next[start[v] ..
// start[v + 1]), each once.
struct Graph {
    LargeVector<int32_t> start;
    LargeVector<int32_t> next;

    int32_t size() const { return static_cast<int32_t>(start.size()) - 1; }
};

Graph symmetric(const Pattern& pattern)
{
    const int32_t n = pattern.size;
    Graph g;
    g.start.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int32_t j = 0; j < n; ++j) {
        for (int32_t p = pattern.start[j]; p < pattern.start[j + 1]; ++p) {
            const int32_t i = pattern.index[p];
            if (i != j) {
                ++g.start[static_cast<std::size_t>(i) + 1];
                ++g.start[static_cast<std::size_t>(j) + 1];
            }
        }
    }
    for (int32_t v = 0; v < n; ++v)
        g.start[static_cast<std::size_t>(v) + 1] += g.start[static_cast<std::size_t>(v)];
    g.next.resize(static_cast<std::size_t>(g.start.back()));
    LargeVector<int32_t> fill(g.start.begin(), g.start.end() - 1);
    for (int32_t j = 0; j < n; ++j) {
        for (int32_t p = pattern.start[j]; p < pattern.start[j + 1]; ++p) {
            const int32_t i = pattern.index[p];
            if (i != j) {
                g.next[static_cast<std::size_t>(fill[static_cast<std::size_t>(i)]++)] = j;
                g.next[static_cast<std::size_t>(fill[static_cast<std::size_t>(j)]++)] = i;
            }
        }
    }
    // Entries at (i, j) and (j, i) gave the edge twice: keep each neighbour once.
    LargeVector<int32_t> seen(static_cast<std::size_t>(n), -1);
    int32_t kept = 0;
    for (int32_t v = 0; v < n; ++v) {
        const int32_t from = g.start[static_cast<std::size_t>(v)];
        const int32_t to = g.start[static_cast<std::size_t>(v) + 1];
        g.start[static_cast<std::size_t>(v)] = kept;
        for (int32_t p = from; p < to; ++p) {
            const int32_t w = g.next[static_cast<std::size_t>(p)];
            if (seen[static_cast<std::size_t>(w)] != v) {
                seen[static_cast<std::size_t>(w)] = v;
                g.next[static_cast<std::size_t>(kept++)] = w;
            }
        }
    }
    g.start.back() = kept;
    g.next.resize(static_cast<std::size_t>(kept));
    g.next.shrink_to_fit();
    return g;
}

// Splits vertex sets by breadth-first levels. A set is a range of `verts`; its vertices carry the
// set's mark in `member`, so searches stay within it.
class Dissection {
public:
    explicit Dissection(const Graph& graph)
        : g(graph)
        , n(static_cast<std::size_t>(graph.size()))
        , member(n, -1)
        , visit(n, -1)
        , level(n, 0)
    {
        queue.reserve(n);
    }

    std::vector<int32_t> order()
    {
        std::vector<int32_t> verts(n);
        for (std::size_t v = 0; v < n; ++v)
            verts[v] = static_cast<int32_t>(v);
        std::vector<std::pair<int32_t, int32_t>> sets { { 0, static_cast<int32_t>(n) } };
        while (!sets.empty()) {
            const auto [lo, hi] = sets.back();
            sets.pop_back();
            if (hi - lo <= Leaf)
                continue;
            split(verts, lo, hi, sets);
        }
        return verts;
    }

private:
    // A breadth-first search within the set from `root`: `queue` holds the vertices reached in
    // order of their level; the depth of the last level.
    int32_t search(int32_t root, int32_t set)
    {
        ++searches;
        queue.clear();
        queue.push_back(root);
        visit[static_cast<std::size_t>(root)] = searches;
        level[static_cast<std::size_t>(root)] = 0;
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const int32_t v = queue[head];
            const int32_t depth = level[static_cast<std::size_t>(v)] + 1;
            for (int32_t p = g.start[static_cast<std::size_t>(v)];
                 p < g.start[static_cast<std::size_t>(v) + 1]; ++p) {
                const auto w = static_cast<std::size_t>(g.next[static_cast<std::size_t>(p)]);
                if (member[w] == set && visit[w] != searches) {
                    visit[w] = searches;
                    level[w] = depth;
                    queue.push_back(static_cast<int32_t>(w));
                }
            }
        }
        return level[static_cast<std::size_t>(queue.back())];
    }

    // Orders verts[lo, hi): a part the search does not reach is a set of its own; else the set is
    // cut at a middle level into the levels before it, those after it and the level itself, last.
    void split(
        std::vector<int32_t>& verts, int32_t lo, int32_t hi, std::vector<std::pair<int32_t, int32_t>>& sets)
    {
        const int32_t set = ++sets_made;
        for (int32_t k = lo; k < hi; ++k)
            member[static_cast<std::size_t>(verts[static_cast<std::size_t>(k)])] = set;
        const auto size = static_cast<std::size_t>(hi - lo);
        int32_t depth = search(verts[static_cast<std::size_t>(lo)], set);
        if (queue.size() < size) {
            // Reached first, the rest after: two sets.
            const int32_t mark = searches;
            std::stable_partition(verts.begin() + lo, verts.begin() + hi,
                [&](int32_t v) { return visit[static_cast<std::size_t>(v)] == mark; });
            const auto reached = static_cast<int32_t>(queue.size());
            sets.emplace_back(lo, lo + reached);
            sets.emplace_back(lo + reached, hi);
            return;
        }
        // From a far end the levels are many and narrow.
        for (int s = 1; s < Searches; ++s) {
            const int32_t further = search(queue.back(), set);
            const bool deeper = further > depth;
            depth = further;
            if (!deeper)
                break;
        }
        if (depth < 2)
            return;
        // The narrowest level with at least Balance of the rest on either side separates.
        std::vector<int32_t> width(static_cast<std::size_t>(depth) + 1, 0);
        for (int32_t v : queue)
            ++width[static_cast<std::size_t>(level[static_cast<std::size_t>(v)])];
        int32_t cut = 0;
        std::size_t narrowest = size + 1;
        std::size_t before = 0;
        for (int32_t l = 1; l < depth; ++l) {
            before += static_cast<std::size_t>(width[static_cast<std::size_t>(l) - 1]);
            const auto w = static_cast<std::size_t>(width[static_cast<std::size_t>(l)]);
            const std::size_t after = size - before - w;
            if (static_cast<double>(std::min(before, after)) >= Balance * static_cast<double>(size - w)
                && w < narrowest) {
                narrowest = w;
                cut = l;
            }
        }
        if (cut == 0) {
            // No level is balanced: the one that reaches half the set.
            std::size_t counted = 0;
            while (cut < depth - 1
                && (counted += static_cast<std::size_t>(width[static_cast<std::size_t>(cut)])) * 2 < size)
                ++cut;
            cut = std::max(cut, 1);
        }
        auto side = [&](int32_t v) {
            const int32_t l = level[static_cast<std::size_t>(v)];
            return l < cut ? 0 : l > cut ? 1 : 2;
        };
        const auto first = verts.begin() + lo;
        const auto last = verts.begin() + hi;
        const auto middle = std::stable_partition(first, last, [&](int32_t v) { return side(v) == 0; });
        const auto end = std::stable_partition(middle, last, [&](int32_t v) { return side(v) == 1; });
        const auto sidea = static_cast<int32_t>(middle - first);
        const auto sideb = static_cast<int32_t>(end - middle);
        sets.emplace_back(lo, lo + sidea);
        sets.emplace_back(lo + sidea, lo + sidea + sideb);
    }

    const Graph& g;
    std::size_t n;
    LargeVector<int32_t> member; // the set a vertex belongs to at present
    LargeVector<int32_t> visit; // the search that reached a vertex last
    LargeVector<int32_t> level; // its level in that search
    LargeVector<int32_t> queue;
    int32_t searches = 0;
    int32_t sets_made = 0;
};

} // namespace

std::vector<int32_t> nesteddissection(const Pattern& pattern)
{
    const Graph g = symmetric(pattern);
    return Dissection(g).order();
}

// The elimination tree of the permuted pattern (Liu's algorithm with path compression), then each
// row's subtree walked to count the entries of the factor's columns.
Fill fillof(const Pattern& pattern, const std::vector<int32_t>& order)
{
    const Graph g = symmetric(pattern);
    const auto n = static_cast<std::size_t>(g.size());
    LargeVector<int32_t> position(n);
    for (std::size_t k = 0; k < n; ++k)
        position[static_cast<std::size_t>(order[k])] = static_cast<int32_t>(k);
    LargeVector<int32_t> parent(n, -1);
    LargeVector<int32_t> ancestor(n, -1);
    for (std::size_t k = 0; k < n; ++k) {
        const auto v = static_cast<std::size_t>(order[k]);
        for (int32_t p = g.start[v]; p < g.start[v + 1]; ++p) {
            int32_t r = position[static_cast<std::size_t>(g.next[static_cast<std::size_t>(p)])];
            if (r >= static_cast<int32_t>(k))
                continue;
            while (ancestor[static_cast<std::size_t>(r)] != -1
                && ancestor[static_cast<std::size_t>(r)] != static_cast<int32_t>(k)) {
                const int32_t up = ancestor[static_cast<std::size_t>(r)];
                ancestor[static_cast<std::size_t>(r)] = static_cast<int32_t>(k);
                r = up;
            }
            if (ancestor[static_cast<std::size_t>(r)] == -1) {
                ancestor[static_cast<std::size_t>(r)] = static_cast<int32_t>(k);
                parent[static_cast<std::size_t>(r)] = static_cast<int32_t>(k);
            }
        }
    }
    LargeVector<double> count(n, 1);
    LargeVector<int32_t> mark(n, -1);
    for (std::size_t k = 0; k < n; ++k) {
        const auto v = static_cast<std::size_t>(order[k]);
        mark[k] = static_cast<int32_t>(k);
        for (int32_t p = g.start[v]; p < g.start[v + 1]; ++p) {
            for (int32_t j = position[static_cast<std::size_t>(g.next[static_cast<std::size_t>(p)])];
                 j < static_cast<int32_t>(k) && mark[static_cast<std::size_t>(j)] != static_cast<int32_t>(k);
                 j = parent[static_cast<std::size_t>(j)]) {
                count[static_cast<std::size_t>(j)] += 1;
                mark[static_cast<std::size_t>(j)] = static_cast<int32_t>(k);
            }
        }
    }
    Fill fill;
    for (double c : count) {
        fill.entries += c;
        fill.flops += (c - 1) + 2 * (c - 1) * (c - 1);
    }
    return fill;
}

} // namespace nerith
