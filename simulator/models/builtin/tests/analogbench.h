#pragma once

#include "engines/nerith/circuit.h"
#include "simulator/models/builtin/intmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

// A small analog solver that plays the SPICE engine's part for models built on the recording fakes
// (which solve nothing): it hands the models an ISPICECKT, runs Newton iterations over their stamps
// with the SPICE3 mode bits, solves the operating point and steps a transient under their step
// limits, break points and proposed steps. Only what a test adds beside the models (resistors,
// ammeters, ideal voltage sources to ground) is stamped by the bench itself; it integrates nothing, so the
// circuits it solves hold no capacitors. Equations are the fakes' node numbers, then the bench's own.
class ANALOGBENCH final : public ISPICECKT {
public:
    // Equations from `first` on are the bench's (nodes and branches the models ask for).
    explicit ANALOGBENCH(int32_t first)
        : values(static_cast<size_t>(first), 0.0)
        , equations(first - 1)
    {
    }

    // Hands the model its circuit, as the engine's set-up does.
    void add(INTMODEL* model)
    {
        models.push_back(model);
        model->bindspice(model, this);
    }
    void resistor(int32_t a, int32_t b, double ohms) { resistors.push_back({ a, b, 1 / ohms }); }
    // An ideal source from node to ground, of a value over time.
    void source(int32_t node, std::function<double(double)> volts)
    {
        sources.push_back({ node, newbranch(nullptr, "source"), std::move(volts) });
    }

    // A zero-volt source from a to b on a branch equation of the fakes (a current probe's), so that
    // the branch carries the current from a to b.
    void ammeter(int32_t a, int32_t b, int32_t branch) { ammeters.push_back({ a, b, branch }); }

    // The operating point (mode DCOP, or TRANOP before a transient), accepted at time 0.
    const std::vector<double>& operatingpoint(uint32_t dcmode = MODE_DCOP)
    {
        time = step = 0;
        solve(dcmode | MODE_INITJCT, dcmode | MODE_INITFLOAT);
        accept();
        return values;
    }

    // A transient to tstop in steps of at most tmax, after its operating point; `each` sees every
    // accepted point from time 0 on.
    void transient(
        double tstop, double tmax, const std::function<void(double, const std::vector<double>&)>& each)
    {
        operatingpoint(MODE_TRANOP);
        each(time, values);
        bool first = true;
        while (time < tstop) {
            double limit = std::min(tmax, proposed);
            proposed = INFINITY;
            for (INTMODEL* model : models)
                model->limitstep(time, &limit);
            double target = std::min(time + limit, tstop);
            auto pending = breaks.upper_bound(time * (1 + 1e-12));
            if (pending != breaks.end())
                target = std::min(target, *pending);
            step = target - time;
            time = target;
            solve(MODE_TRAN | (first ? MODE_INITTRAN : MODE_INITPRED), MODE_TRAN | MODE_INITFLOAT);
            accept();
            first = false;
            each(time, values);
        }
    }

    int modetest(uint32_t bits) override { return (mode & bits) != 0; }
    int query(double* out, int code) override
    {
        switch (code) {
        case QUERY_TIME:
            *out = time;
            return 1;
        case QUERY_STEP:
            *out = step;
            return 1;
        case QUERY_GMIN:
            *out = 1e-12;
            return 1;
        case QUERY_STEPFLOOR:
            *out = 1e-15;
            return 1;
        case QUERY_MINSTEP:
            *out = 1e-12;
            return 1;
        case QUERY_SRCFACT:
            *out = 1;
            return 1;
        case QUERY_ORDER:
            *out = 1;
            return 1;
        default:
            return 0;
        }
    }
    double* state(int32_t which, int32_t index) override
    {
        std::vector<double>& list = which == 0 ? present : previous;
        return index >= 0 && index < static_cast<int32_t>(list.size()) ? &list[static_cast<size_t>(index)]
                                                                       : nullptr;
    }
    void suspend(IINSTANCE*, const char*) override { }
    double* solution() override { return values.data(); }
    double lowerinitialstep(double limit) override { return limit; }
    int32_t newnode(IINSTANCE*, const char*) override { return grow(); }
    int32_t newbranch(IINSTANCE*, const char*) override { return grow(); }
    double* element(int32_t row, int32_t column) override { return &cells[{ row, column }]; }
    int setbreak(double at) override
    {
        breaks.insert(at);
        return 1;
    }
    int32_t allocstates(int32_t count) override
    {
        auto first = static_cast<int32_t>(present.size());
        present.resize(present.size() + static_cast<size_t>(count));
        previous.resize(present.size());
        return first;
    }
    void proposestep(double limit) override { proposed = std::min(proposed, limit); }

    // Called at each converged point before the models accept it, as the digital engine runs its
    // events up to that time there.
    std::function<void(double)> beforeaccept;
    std::vector<INTMODEL*> models;
    std::vector<double> values; // every equation's, so that a test may set a node before solving
    std::set<double> breaks;
    double time = 0;
    double step = 0;
    uint32_t mode = 0;

private:
    struct RESISTOR {
        int32_t a;
        int32_t b;
        double conductance;
    };
    struct AMMETER {
        int32_t a;
        int32_t b;
        int32_t branch;
    };
    struct SOURCE {
        int32_t node;
        int32_t branch;
        std::function<double(double)> volts;
    };

    int32_t grow()
    {
        values.resize(static_cast<size_t>(++equations) + 1, 0.0);
        return equations;
    }

    // Newton iterations: the first in `firstmode`, the others in `latermode`, until the solution
    // stands still.
    void solve(uint32_t firstmode, uint32_t latermode)
    {
        values.resize(static_cast<size_t>(equations) + 1, 0.0);
        for (int iteration = 0; iteration < 100; ++iteration) {
            mode = iteration == 0 ? firstmode : latermode;
            for (auto& cell : cells)
                cell.second = 0;
            std::vector<double> rhs(values.size(), 0.0);
            for (INTMODEL* model : models)
                model->loaddc(time, mode, values.data(), rhs.data());
            for (const RESISTOR& r : resistors) {
                *element(r.a, r.a) += r.conductance;
                *element(r.b, r.b) += r.conductance;
                *element(r.a, r.b) -= r.conductance;
                *element(r.b, r.a) -= r.conductance;
            }
            for (const AMMETER& m : ammeters) {
                *element(m.a, m.branch) += 1;
                *element(m.branch, m.a) += 1;
                *element(m.b, m.branch) -= 1;
                *element(m.branch, m.b) -= 1;
            }
            for (const SOURCE& s : sources) {
                *element(s.node, s.branch) += 1;
                *element(s.branch, s.node) += 1;
                rhs[static_cast<size_t>(s.branch)] += s.volts(time);
            }
            std::vector<double> next = linearsolve(rhs);
            double change = 0;
            for (size_t i = 0; i < next.size(); ++i)
                change = std::max(change, std::abs(next[i] - values[i]) / (1e-9 + 1e-6 * std::abs(next[i])));
            values = next;
            if (iteration > 0 && change < 1)
                return;
        }
        ADD_FAILURE() << "no convergence at " << time;
    }

    void accept()
    {
        if (beforeaccept)
            beforeaccept(time);
        for (INTMODEL* model : models)
            model->acceptstep(time, values.data());
        previous = present;
    }

    // Gaussian elimination with partial pivoting over equations 1..n.
    std::vector<double> linearsolve(std::vector<double> rhs)
    {
        size_t n = values.size() - 1;
        std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
        for (const auto& [at, value] : cells)
            if (at.first > 0 && at.second > 0)
                a[static_cast<size_t>(at.first) - 1][static_cast<size_t>(at.second) - 1] += value;
        std::vector<double> b(rhs.begin() + 1, rhs.end());
        for (size_t column = 0; column < n; ++column) {
            size_t pivot = column;
            for (size_t row = column + 1; row < n; ++row)
                if (std::abs(a[row][column]) > std::abs(a[pivot][column]))
                    pivot = row;
            std::swap(a[column], a[pivot]);
            std::swap(b[column], b[pivot]);
            if (a[column][column] == 0)
                continue;
            for (size_t row = column + 1; row < n; ++row) {
                double factor = a[row][column] / a[column][column];
                for (size_t k = column; k < n; ++k)
                    a[row][k] -= factor * a[column][k];
                b[row] -= factor * b[column];
            }
        }
        std::vector<double> x(n + 1, 0.0);
        for (size_t row = n; row-- > 0;) {
            double sum = b[row];
            for (size_t k = row + 1; k < n; ++k)
                sum -= a[row][k] * x[k + 1];
            x[row + 1] = a[row][row] == 0 ? 0 : sum / a[row][row];
        }
        return x;
    }

    int32_t equations;
    std::map<std::pair<int32_t, int32_t>, double> cells;
    std::vector<RESISTOR> resistors;
    std::vector<AMMETER> ammeters;
    std::vector<SOURCE> sources;
    std::vector<double> present;
    std::vector<double> previous;
    double proposed = INFINITY;
};
