#include "engines/nerith/ckt.h"

#include <utility>

namespace nerith {

namespace {

// After deletions: numbers close up in their old order, and every instance makes its equations
// and cells afresh (device branches and internal nodes are made again, so they are dropped here).
void renumber(IFcircuit& ckt)
{
    for (auto& family : ckt.families)
        family->unbind();
    Equations kept;
    kept.push_back(ckt.equations.front());
    for (std::size_t n = 1; n < ckt.equations.size(); ++n) {
        const Equation& equation = ckt.equations[n];
        if (equation.removed || equation.owner)
            continue;
        if (Node* node = equation.node())
            node->number = static_cast<int32_t>(kept.size());
        kept.push_back(equation);
    }
    ckt.equations = std::move(kept);
    ckt.matrix.reset(ckt.size());
    ckt.diagonal.clear();
    // Every instance and model allocates its states again when it binds.
    ckt.statecount = 0;
    for (auto& states : ckt.states)
        states.clear();
    ckt.rebuild = false;
}

} // namespace

int setup(IFcircuit& ckt)
{
    if (ckt.rebuild)
        renumber(ckt);
    ckt.nonlinear = false;
    for (auto& family : ckt.families) {
        if (int code = family->setup(ckt))
            return code;
        ckt.nonlinear = ckt.nonlinear || family->nonlinear();
    }
    const auto size = static_cast<std::size_t>(ckt.size()) + 1;
    ckt.diagonal.resize(size, SparseMatrix::Ground);
    ckt.voltage.assign(size, 0);
    ckt.plotnames.resize(size - 1);
    ckt.nodesets.clear();
    ckt.initialconditions.clear();
    for (std::size_t n = 1; n < size; ++n) {
        const Equation& equation = ckt.equations[n];
        ckt.plotnames[n - 1] = equation.name();
        if (!equation.voltage())
            continue;
        const auto number = static_cast<int32_t>(n);
        ckt.voltage[n] = 1;
        // Every node gets a diagonal place, for gmin stepping, the shunt resistance, nodesets and
        // initial conditions.
        if (ckt.diagonal[n] == SparseMatrix::Ground)
            ckt.diagonal[n] = ckt.matrix.place(number, number);
        const Node* node = equation.node();
        if (!node)
            continue;
        if (auto given = ckt.givennodesets.find(node); given != ckt.givennodesets.end())
            ckt.nodesets.emplace_back(number, given->second);
        if (auto given = ckt.giveninitials.find(node); given != ckt.giveninitials.end())
            ckt.initialconditions.emplace_back(number, given->second);
    }
    ckt.rhs.assign(size, 0.0);
    ckt.irhs.assign(size, 0.0);
    ckt.solution.resize(size, 0.0);
    return 0;
}

} // namespace nerith
