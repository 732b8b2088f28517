#include "engines/nerith/devices/control.h"
#include "engines/nerith/devices/family.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Gain = 1;
constexpr int32_t Controller = 2;
constexpr int32_t Multiplier = 3;
constexpr int32_t Current = 10;
constexpr int32_t Power = 11;

// The output of a controlled current source: gain times the control flows from out+ through the
// source to out-, as an independent current source's does.
struct CurrentOutput {
    static constexpr bool Branch = false;
    // Cells: out+ by each control column, then out- by each.
    template <class Control> using Cells = std::array<int32_t, 2 * Control::Columns>;

    // M copies in parallel: a current M times as large.
    template <class Instance> static constexpr std::array<Parameter<Instance>, 1> rows(int32_t id)
    {
        return { field<&Instance::m>("m", id, "Parallel multiplier").initially(1).above(0) };
    }
    template <class Instance> static double gain(const Instance& g) { return g.gain * g.m; }

    template <class Instance> static double current(IFcircuit& ckt, const Instance& g)
    {
        return gain(g) * controlvalue<typename Instance::ControlType>(g.columns, ckt.solution.data());
    }

    template <class Control>
    static Cells<Control> places(SparseMatrix& m, const int32_t* nodes, int32_t, const int32_t* columns)
    {
        Cells<Control> cells {};
        for (int32_t k = 0; k < Control::Columns; ++k) {
            cells[static_cast<std::size_t>(k)] = m.place(nodes[0], columns[k]);
            cells[static_cast<std::size_t>(Control::Columns + k)] = m.place(nodes[1], columns[k]);
        }
        return cells;
    }

    template <class Control, class Hot> static void load(double* a, const Hot& g)
    {
        for (int32_t k = 0; k < Control::Columns; ++k) {
            const double stamp = Control::Sign[k] * g.gain;
            a[g.cells[static_cast<std::size_t>(k)]] += stamp;
            a[g.cells[static_cast<std::size_t>(Control::Columns + k)]] -= stamp;
        }
    }

    template <class Instance> static void topology(Topology&, const Instance&) { }
};

// The output of a controlled voltage source: v(out+) - v(out-) = gain times the control, with a
// branch current counted as the voltage source's.
struct VoltageOutput {
    static constexpr bool Branch = true;
    template <class Instance> static constexpr std::array<Parameter<Instance>, 0> rows(int32_t) { return {}; }
    template <class Instance> static double gain(const Instance& e) { return e.gain; }
    // Cells: out+ and out- by the branch, the branch by out+ and out-, then by each control column.
    template <class Control> using Cells = std::array<int32_t, 4 + Control::Columns>;

    template <class Instance> static double current(IFcircuit& ckt, const Instance& e)
    {
        return ckt.solution[static_cast<std::size_t>(e.branch)];
    }

    template <class Control>
    static Cells<Control> places(
        SparseMatrix& m, const int32_t* nodes, int32_t branch, const int32_t* columns)
    {
        Cells<Control> cells { m.place(nodes[0], branch), m.place(nodes[1], branch),
            m.place(branch, nodes[0]), m.place(branch, nodes[1]) };
        for (int32_t k = 0; k < Control::Columns; ++k)
            cells[static_cast<std::size_t>(4 + k)] = m.place(branch, columns[k]);
        return cells;
    }

    template <class Control, class Hot> static void load(double* a, const Hot& e)
    {
        a[e.cells[0]] += 1;
        a[e.cells[1]] -= 1;
        a[e.cells[2]] += 1;
        a[e.cells[3]] -= 1;
        for (int32_t k = 0; k < Control::Columns; ++k)
            a[e.cells[static_cast<std::size_t>(4 + k)]] -= Control::Sign[k] * e.gain;
    }

    template <class Instance> static void topology(Topology& topology, const Instance& e)
    {
        topology.fixes(e, e.nodes[0], e.nodes[1]);
    }
};

template <class T, std::size_t A, std::size_t B>
constexpr std::array<T, A + B> joined(const std::array<T, A>& a, const std::array<T, B>& b)
{
    std::array<T, A + B> both {};
    for (std::size_t i = 0; i < A; ++i)
        both[i] = a[i];
    for (std::size_t i = 0; i < B; ++i)
        both[A + i] = b[i];
    return both;
}

// What a controlled source is called and what its gain is.
struct Wording {
    const char* what;
    const char* gaindescription;
    const char* gainunit;
};

constexpr Wording vcvs { "voltage-controlled voltage source", "Gain", "" };
constexpr Wording vccs { "voltage-controlled current source", "Transconductance", "S" };
constexpr Wording cccs { "current-controlled current source", "Gain", "" };
constexpr Wording ccvs { "current-controlled voltage source", "Transresistance", "ohm" };

// A linear controlled source: `Control` gives the quantity it follows (a voltage between two of its
// terminals or the current of a named source), `Output` makes it a current or a voltage source and
// holds what stamps it.
template <class Output, class Control, const Wording& words> struct Controlled : LinearDevice {
    struct Hot {
        double gain;
        typename Output::template Cells<Control> cells;
    };

    struct Instance : Bindable<Hot>, Control::Fields {
        using ControlType = Control;
        double gain;
        bool given = false;
        double m = 1; // of a current output
        int32_t nodes[Control::Terminals] {}; // out+, out- (in+, in-)
        int32_t columns[Control::Columns] {}; // the solution entries of the control
        int32_t branch = 0; // of a voltage output
    };

    static double current(IFcircuit& ckt, const Instance& s) { return s.bound ? Output::current(ckt, s) : 0; }
    static double power(IFcircuit& ckt, const Instance& s)
    {
        const auto& x = ckt.solution;
        return -(x[static_cast<std::size_t>(s.nodes[0])] - x[static_cast<std::size_t>(s.nodes[1])])
            * current(ckt, s);
    }

    static constexpr auto parameters = parametertable<Instance>(
        {
            field<&Instance::gain, &Instance::given>("gain", Gain, words.gaindescription).in(words.gainunit),
            computed<&current>("i", Current, "Current").in("A"),
            computed<&power>("p", Power, "Power delivered").in("W"),
        },
        joined(Control::template rows<Instance>(Controller), Output::template rows<Instance>(Multiplier)));

    static int bind(IFcircuit& ckt, Instance& s, Hot& h)
    {
        if (int code = terminalnumbers(ckt, s, Control::Terminals, s.nodes))
            return code;
        if (int code = Control::resolve(ckt, words.what, s, s.nodes, s.columns))
            return code;
        if constexpr (Output::Branch)
            s.branch = ckt.addbranch(&s, s.name, "branch");
        h.cells = Output::template places<Control>(ckt.matrix, s.nodes, s.branch, s.columns);
        return 0;
    }

    static int check(IFcircuit&, const Instance& s, Hot& h)
    {
        if (!s.given || !std::isfinite(s.gain))
            return fail(E_BADDEVICE, "%s %s has no finite gain", words.what, s.name);
        h.gain = Output::gain(s);
        return Control::check(words.what, s);
    }

    static void unbind(Instance& s)
    {
        s.branch = 0;
        Control::unbind(s);
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* a = ckt.matrix.stamps();
        for (const Hot& s : list)
            Output::template load<Control>(a, s);
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& h)
    {
        Output::template load<Control>(ckt.matrix.stamps(), h);
    }

    static void topology(Topology& topology, const Instance& s, const Hot&) { Output::topology(topology, s); }
};

} // namespace

extern const DeviceKind vcvskind;
constexpr DeviceKind vcvskind = devicekind<Controlled<VoltageOutput, VoltageControl, vcvs>>(
    "VCVS", "Voltage controlled voltage source", 4);
extern const DeviceKind vccskind;
constexpr DeviceKind vccskind = devicekind<Controlled<CurrentOutput, VoltageControl, vccs>>(
    "VCCS", "Voltage controlled current source", 4);
extern const DeviceKind cccskind;
constexpr DeviceKind cccskind = devicekind<Controlled<CurrentOutput, CurrentControl, cccs>>(
    "CCCS", "Current controlled current source", 2);
extern const DeviceKind ccvskind;
constexpr DeviceKind ccvskind = devicekind<Controlled<VoltageOutput, CurrentControl, ccvs>>(
    "CCVS", "Current controlled voltage source", 2);

} // namespace nerith
