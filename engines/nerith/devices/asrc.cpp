#include "engines/nerith/devices/control.h"
#include "engines/nerith/devices/family.h"

#include <cmath>
#include <vector>

namespace nerith {

namespace {

constexpr int32_t VoltageExpression = 1;
constexpr int32_t CurrentExpression = 2;
constexpr int32_t Current = 10;
constexpr int32_t Power = 11;
constexpr int32_t Voltage = 12;

// The column of a quantity that is the time, not a solution entry.
constexpr int32_t TimeColumn = -1;

constexpr const char* what = "behavioural source";

// A behavioural source: a voltage (v=) or a current (i=) given by an expression of node voltages,
// source currents and time. Each iteration stamps the expression's tangent at the iterate: its exact
// slopes by each quantity into the matrix, the rest into the right-hand side. The current flows as
// an independent current source's, from the positive terminal through the source to the negative.
//
// An expression that has no finite value or slope at an iterate (a division by zero, a logarithm of
// a negative number) holds the last finite tangent (0 when there was none) and warns once a run, so
// the matrix never sees a number that is none.
struct Asrc {
    static constexpr bool Linear = false;
    struct Model : IFmodel { };
    static constexpr auto modelparameters = parametertable<Model>();

    // The expression's quantities vary in number: the instance holds them, with cells of its own.
    struct Instance;
    struct Hot {
        Instance* source;
        std::array<int32_t, 0> cells;
    };

    struct Instance : Bindable<Hot> {
        IFparseTree* voltage = nullptr; // the parser's: it lives until the parser's table ends
        IFparseTree* current = nullptr;
        int32_t pos = 0;
        int32_t neg = 0;
        int32_t branch = 0; // of a voltage source
        bool voltagebound = false; // bound as a voltage source
        const IFparseTree* attached = nullptr; // the expression the cells were made for
        std::vector<int32_t> columns; // by quantity: its equation, or TimeColumn
        std::vector<double*> rowcells; // by quantity: the branch's (voltage) or out+'s (current) cell
        std::vector<double*> negcells; // by quantity: out-'s cell (current)
        double* posbranch = nullptr;
        double* negbranch = nullptr;
        double* branchpos = nullptr;
        double* branchneg = nullptr;
        std::vector<double> values; // by quantity, at the last load
        std::vector<double> slopes;
        double value = 0; // of the expression at the last load
        std::vector<double> heldpoint; // the quantities, value and slopes of the last finite tangent
        std::vector<double> heldslopes;
        double heldvalue = 0;
        bool held = false;
        bool warned = false;

        const IFparseTree* tree() const { return voltage ? voltage : current; }
    };

    static int setvoltage(Instance& s, const IFvalue& value) { return settree(s.voltage, value); }
    static int setcurrent(Instance& s, const IFvalue& value) { return settree(s.current, value); }
    static int settree(IFparseTree*& tree, const IFvalue& value)
    {
        if (!value.tValue)
            return E_BADVALUE;
        tree = value.tValue;
        return 0;
    }
    static double current(IFcircuit& ckt, const Instance& s)
    {
        if (!s.bound)
            return 0;
        return s.voltagebound ? ckt.solution[static_cast<std::size_t>(s.branch)] : s.value;
    }
    static double across(IFcircuit& ckt, const Instance& s)
    {
        return ckt.solution[static_cast<std::size_t>(s.pos)] - ckt.solution[static_cast<std::size_t>(s.neg)];
    }
    static double power(IFcircuit& ckt, const Instance& s) { return -across(ckt, s) * current(ckt, s); }

    static constexpr auto parameters = parametertable<Instance>({
        settable<&setvoltage>("v", VoltageExpression, IF_PARSETREE, "Voltage expression"),
        settable<&setcurrent>("i", CurrentExpression, IF_PARSETREE, "Current expression"),
        computed<&current>("i", Current, "Current").in("A"),
        computed<&across>("v", Voltage, "Voltage").in("V"),
        computed<&power>("p", Power, "Power delivered").in("W"),
    });

    // The equation of every quantity of the expression.
    static int resolve(IFcircuit& ckt, const Instance& s, std::vector<int32_t>& columns)
    {
        const IFparseTree& tree = *s.tree();
        columns.assign(static_cast<std::size_t>(tree.quantities()), 0);
        for (int32_t k = 0; k < tree.quantities(); ++k) {
            int32_t kind = 0;
            IFvalue quantity {};
            tree.quantity(k, &kind, &quantity);
            int32_t& column = columns[static_cast<std::size_t>(k)];
            if (kind == IF_REAL) {
                column = TimeColumn;
            } else if (kind == IF_NODE) {
                const auto* node = static_cast<const Node*>(quantity.nValue);
                if (!node || node->deleted)
                    return fail(
                        E_BADDEVICE, "%s %s reads a node that no longer exists", what, s.name);
                column = node->number;
            } else if (kind != IF_INSTANCE || !quantity.uValue) {
                return fail(E_BADDEVICE, "%s %s reads a quantity of an unknown kind", what, s.name);
            } else if (int code = controlbranch(ckt, what, s, quantity.uValue, &column)) {
                return code;
            }
        }
        return 0;
    }

    // The cells by every quantity of the present expression; kept while the quantities stay the
    // same (an expression parsed again at every sweep step reads the same ones).
    static int attach(IFcircuit& ckt, Instance& s)
    {
        std::vector<int32_t> columns;
        if (int code = resolve(ckt, s, columns))
            return code;
        s.attached = s.tree();
        const std::size_t count = columns.size();
        s.values.assign(count, 0.0);
        s.slopes.assign(count, 0.0);
        s.heldslopes.assign(count, 0.0);
        s.heldpoint.assign(count, 0.0);
        s.held = false;
        if (columns == s.columns && s.rowcells.size() == count)
            return 0;
        s.columns = std::move(columns);
        s.rowcells.assign(count, nullptr);
        s.negcells.assign(count, nullptr);
        SparseMatrix& m = ckt.matrix;
        for (std::size_t k = 0; k < count; ++k) {
            const int32_t column = s.columns[k];
            if (column == TimeColumn)
                continue;
            if (s.voltagebound) {
                s.rowcells[k] = m.element(s.branch, column);
            } else {
                s.rowcells[k] = m.element(s.pos, column);
                s.negcells[k] = m.element(s.neg, column);
            }
        }
        return 0;
    }

    static int expressions(const Instance& s)
    {
        if (!s.voltage && !s.current)
            return fail(E_BADDEVICE, "%s %s has no expression", what, s.name);
        if (s.voltage && s.current)
            return fail(
                E_BADDEVICE, "%s %s has both a voltage and a current expression", what, s.name);
        return 0;
    }

    // An expression set again since the cells were made (a part parses its text again at every sweep
    // step) is attached anew.
    static int check(IFcircuit& ckt, Instance& s, Hot&)
    {
        s.warned = false;
        if (int code = expressions(s))
            return code;
        if (s.attached == s.tree())
            return 0;
        if (s.voltagebound != (s.voltage != nullptr))
            return fail(E_BADDEVICE,
                "%s %s changed between a voltage and a current source after the circuit was set up", what,
                s.name);
        return attach(ckt, s);
    }

    static int bind(IFcircuit& ckt, Instance& s, Hot& h)
    {
        if (int code = expressions(s))
            return code;
        h.source = &s;
        int32_t nodes[2];
        if (int code = terminalnumbers(ckt, s, 2, nodes))
            return code;
        s.pos = nodes[0];
        s.neg = nodes[1];
        s.voltagebound = s.voltage != nullptr;
        s.columns.clear();
        if (s.voltagebound) {
            s.branch = ckt.addbranch(&s, s.name, "branch");
            SparseMatrix& m = ckt.matrix;
            s.posbranch = m.element(s.pos, s.branch);
            s.negbranch = m.element(s.neg, s.branch);
            s.branchpos = m.element(s.branch, s.pos);
            s.branchneg = m.element(s.branch, s.neg);
        }
        return attach(ckt, s);
    }

    static void unbind(Instance& s)
    {
        s.branch = 0;
        s.attached = nullptr;
        s.columns.clear();
        s.rowcells.clear();
        s.negcells.clear();
    }

    // The expression's value and slopes at the quantities of s.values, into s.value and s.slopes.
    static void evaluate(Instance& s)
    {
        const std::size_t count = s.values.size();
        if (s.tree()->eval(s.values.data(), &s.value, s.slopes.data())) {
            s.heldpoint = s.values;
            s.heldslopes = s.slopes;
            s.heldvalue = s.value;
            s.held = true;
            return;
        }
        if (!s.warned) {
            s.warned = true;
            note(ERR_WARNING,
                "%s %s: the expression has no finite value at an iterate; its last finite tangent is held",
                what, s.name);
        }
        s.value = s.held ? s.heldvalue : 0;
        for (std::size_t k = 0; k < count; ++k) {
            s.slopes[k] = s.held ? s.heldslopes[k] : 0;
            s.value += s.slopes[k] * (s.values[k] - s.heldpoint[k]);
        }
    }

    // The tangent's slopes at the last load into the matrix.
    static void stampslopes(const Instance& s)
    {
        const std::size_t count = s.columns.size();
        if (s.voltagebound) {
            *s.posbranch += 1;
            *s.negbranch -= 1;
            *s.branchpos += 1;
            *s.branchneg -= 1;
            for (std::size_t k = 0; k < count; ++k) {
                if (s.rowcells[k])
                    *s.rowcells[k] -= s.slopes[k];
            }
            return;
        }
        for (std::size_t k = 0; k < count; ++k) {
            if (!s.rowcells[k])
                continue;
            *s.rowcells[k] += s.slopes[k];
            *s.negcells[k] -= s.slopes[k];
        }
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const double* x = ckt.solution.data();
        double* rhs = ckt.rhs.data();
        for (const Hot& h : list) {
            Instance& s = *h.source;
            const std::size_t count = s.columns.size();
            for (std::size_t k = 0; k < count; ++k)
                s.values[k] = s.columns[k] == TimeColumn ? ckt.time : x[s.columns[k]];
            evaluate(s);
            stampslopes(s);
            // The part of the tangent the matrix does not hold.
            double rest = s.value;
            for (std::size_t k = 0; k < count; ++k) {
                if (s.columns[k] != TimeColumn)
                    rest -= s.slopes[k] * s.values[k];
            }
            if (s.voltagebound) {
                rhs[s.branch] += rest;
            } else {
                rhs[s.pos] -= rest;
                rhs[s.neg] += rest;
            }
        }
    }

    // The slopes of the operating point's load; a slope by time has no small-signal part.
    static void acload(IFcircuit&, const Instance& s, const Hot&) { stampslopes(s); }

    static void topology(Topology& topology, const Instance& s, const Hot&)
    {
        if (s.voltagebound)
            topology.fixes(s, s.pos, s.neg);
    }
};

} // namespace

extern const DeviceKind asrckind;
constexpr DeviceKind asrckind = devicekind<Asrc>("ASRC", "Arbitrary source", 2);

} // namespace nerith
