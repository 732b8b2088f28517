#include "engines/nerith/diagnose.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/report.h"

#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace nerith {

namespace {

// Of the other equations a singular matrix leaves undetermined, at most this many are named.
constexpr std::size_t MostNamed = 3;

class Partition {
public:
    explicit Partition(std::size_t size)
        : parent(size)
    {
        std::iota(parent.begin(), parent.end(), std::size_t(0));
    }
    std::size_t root(std::size_t item)
    {
        while (parent[item] != item)
            item = parent[item] = parent[parent[item]];
        return item;
    }
    // Joins the two sets; false when they were one already.
    bool join(std::size_t a, std::size_t b)
    {
        a = root(a);
        b = root(b);
        if (a == b)
            return false;
        parent[a] = b;
        return true;
    }

private:
    std::vector<std::size_t> parent;
};

struct Fixing {
    const IFinstance* device;
    std::size_t a;
    std::size_t b;
};

// The DC paths of the circuit and the voltages its sources fix, joined node by node.
class Paths final : public Topology {
public:
    explicit Paths(const IFcircuit& circuit)
        : ckt(circuit)
        , connected(equations())
        , fixed(equations())
    {
    }

    void conducts(int32_t a, int32_t b) override { connected.join(index(a), index(b)); }
    int32_t terminal(const IFinstance& device, std::size_t k) const override
    {
        const Node* node = ckt.terminal(device, k);
        return node ? node->number : 0;
    }
    void fixes(const IFinstance& device, int32_t a, int32_t b) override
    {
        connected.join(index(a), index(b));
        const Fixing fixing { &device, index(a), index(b) };
        if (fixed.join(fixing.a, fixing.b))
            tree.push_back(fixing);
        else if (!loop)
            loop = fixing;
    }

    bool grounded(int32_t node) { return connected.root(index(node)) == connected.root(0); }
    // The names of the sources in the first loop found, the closing one first; empty when none.
    std::vector<std::string> loopnames() const
    {
        if (!loop)
            return {};
        std::vector<std::string> names { loop->device->name };
        std::vector<const Fixing*> path;
        if (loop->a != loop->b && trace(loop->a, loop->b, path)) {
            for (const Fixing* fixing : path)
                names.push_back(fixing->device->name);
        }
        return names;
    }

private:
    std::size_t equations() const { return static_cast<std::size_t>(ckt.size()) + 1; }
    static std::size_t index(int32_t node) { return static_cast<std::size_t>(node); }

    // The path from `from` to `to` over the tree of fixed voltages, depth first.
    bool trace(std::size_t from, std::size_t to, std::vector<const Fixing*>& path) const
    {
        std::vector<std::vector<const Fixing*>> touching(equations());
        for (const Fixing& fixing : tree) {
            touching[fixing.a].push_back(&fixing);
            touching[fixing.b].push_back(&fixing);
        }
        std::vector<const Fixing*> reachedby(equations(), nullptr);
        std::vector<bool> seen(equations(), false);
        std::vector<std::size_t> stack { from };
        seen[from] = true;
        while (!stack.empty() && !seen[to]) {
            const std::size_t node = stack.back();
            stack.pop_back();
            for (const Fixing* fixing : touching[node]) {
                const std::size_t other = fixing->a == node ? fixing->b : fixing->a;
                if (seen[other])
                    continue;
                seen[other] = true;
                reachedby[other] = fixing;
                stack.push_back(other);
            }
        }
        if (!seen[to])
            return false;
        for (std::size_t node = to; node != from;) {
            const Fixing* fixing = reachedby[node];
            path.push_back(fixing);
            node = fixing->a == node ? fixing->b : fixing->a;
        }
        return true;
    }

    const IFcircuit& ckt;
    Partition connected;
    Partition fixed;
    std::vector<Fixing> tree;
    std::optional<Fixing> loop;
};

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

int floating(IFcircuit& ckt, int32_t node, int32_t others)
{
    const char* name = ckt.equations[static_cast<std::size_t>(node)].name();
    if (others > 0)
        return fail(E_BADMATRIX, "node %s and %d other node%s have no DC path to ground", name, others,
            others == 1 ? "" : "s");
    return fail(E_BADMATRIX, "node %s has no DC path to ground", name);
}

} // namespace

int diagnose(IFcircuit& ckt, int32_t equation)
{
    Paths paths(ckt);
    for (const auto& family : ckt.families)
        family->topology(paths);
    // Where the pivot vanished is often not where the fault is (its column's only row went to the
    // pivot of another): the equations the matrix leaves undetermined name the place.
    const std::vector<SparseMatrix::Share> loose = ckt.matrix.undetermined(ckt.options.pivtol);
    const int32_t at = loose.empty() ? equation : loose.front().equation;
    // A shunt to ground from every node leaves nothing floating.
    const bool shunted = ckt.options.rshunt > 0 || ckt.diaggmin > 0;
    int32_t first = 0;
    int32_t count = 0;
    for (int32_t n = 1; n <= ckt.size() && !shunted; ++n) {
        if (!ckt.voltage[static_cast<std::size_t>(n)] || paths.grounded(n))
            continue;
        first = first ? first : n;
        ++count;
    }
    const bool atfloating
        = at > 0 && ckt.voltage[static_cast<std::size_t>(at)] && !shunted && !paths.grounded(at);
    if (atfloating)
        return floating(ckt, at, count - 1);
    const std::vector<std::string> loop = paths.loopnames();
    if (loop.size() == 1)
        return fail(E_BADMATRIX, "voltage source %s has both terminals on one node", loop.front().c_str());
    if (!loop.empty())
        return fail(E_BADMATRIX, "voltage sources %s form a loop", joined(loop).c_str());
    if (first)
        return floating(ckt, first, count - 1);
    std::vector<std::string> others;
    for (std::size_t i = 1; i < loose.size() && others.size() < MostNamed; ++i)
        others.push_back(ckt.describe(loose[i].equation));
    if (loose.size() > MostNamed + 1)
        others.push_back(std::to_string(loose.size() - MostNamed - 1) + " more");
    if (others.empty())
        return fail(E_SINGULAR, "singular matrix at %s", ckt.describe(at).c_str());
    return fail(E_SINGULAR, "singular matrix at %s (undetermined with it: %s)", ckt.describe(at).c_str(),
        joined(others).c_str());
}

} // namespace nerith
