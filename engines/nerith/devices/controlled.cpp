#include "engines/nerith/devices/control.h"
#include "engines/nerith/devices/family.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Gain = 1;
constexpr int32_t Controller = 2;
constexpr int32_t Current = 10;
constexpr int32_t Power = 11;

// The output of a controlled current source: gain times the control flows from out+ through the
// source to out-, as an independent current source's does.
struct CurrentOutput {
    static constexpr bool Branch = false;

    // Out+ and out- by each control column.
    template <int32_t Columns> struct Cells {
        double* pos[Columns] {};
        double* neg[Columns] {};
    };

    template <class Instance> static double current(IFcircuit& ckt, const Instance& g)
    {
        return g.gain * controlvalue<typename Instance::ControlType>(g.columns, ckt.solution.data());
    }

    template <class Instance> static void bind(IFcircuit& ckt, Instance& g)
    {
        SparseMatrix& m = ckt.matrix;
        for (int32_t k = 0; k < Instance::Columns; ++k) {
            g.cells.pos[k] = m.element(g.nodes[0], g.columns[k]);
            g.cells.neg[k] = m.element(g.nodes[1], g.columns[k]);
        }
    }

    template <class Instance> static void load(std::deque<Instance>& list)
    {
        for (Instance& g : list) {
            if (g.deleted)
                continue;
            for (int32_t k = 0; k < Instance::Columns; ++k) {
                const double a = Instance::Sign[k] * g.gain;
                *g.cells.pos[k] += a;
                *g.cells.neg[k] -= a;
            }
        }
    }

    template <class Instance> static void topology(Topology&, const Instance&) { }
};

// The output of a controlled voltage source: v(out+) - v(out-) = gain times the control, with a
// branch current counted as the voltage source's.
struct VoltageOutput {
    static constexpr bool Branch = true;

    // The branch's four unit cells, then the branch by each control column.
    template <int32_t Columns> struct Cells {
        double* posbranch = nullptr;
        double* negbranch = nullptr;
        double* branchpos = nullptr;
        double* branchneg = nullptr;
        double* branchcontrol[Columns] {};
    };

    template <class Instance> static double current(IFcircuit& ckt, const Instance& e)
    {
        return e.bound ? ckt.solution[static_cast<std::size_t>(e.branch)] : 0;
    }

    template <class Instance> static void bind(IFcircuit& ckt, Instance& e)
    {
        auto& c = e.cells;
        SparseMatrix& m = ckt.matrix;
        c.posbranch = m.element(e.nodes[0], e.branch);
        c.negbranch = m.element(e.nodes[1], e.branch);
        c.branchpos = m.element(e.branch, e.nodes[0]);
        c.branchneg = m.element(e.branch, e.nodes[1]);
        for (int32_t k = 0; k < Instance::Columns; ++k)
            c.branchcontrol[k] = m.element(e.branch, e.columns[k]);
    }

    template <class Instance> static void load(std::deque<Instance>& list)
    {
        for (Instance& e : list) {
            if (e.deleted)
                continue;
            auto& c = e.cells;
            *c.posbranch += 1;
            *c.negbranch -= 1;
            *c.branchpos += 1;
            *c.branchneg -= 1;
            for (int32_t k = 0; k < Instance::Columns; ++k)
                *c.branchcontrol[k] -= Instance::Sign[k] * e.gain;
        }
    }

    template <class Instance> static void topology(Topology& topology, const Instance& e)
    {
        topology.fixes(e, e.nodes[0], e.nodes[1]);
    }
};

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
    struct Instance : IFinstance, Control::Fields {
        using ControlType = Control;
        static constexpr int32_t Columns = Control::Columns;
        static constexpr const double* Sign = Control::Sign;

        double gain;
        bool given = false;
        int32_t nodes[Control::Terminals] {}; // out+, out- (in+, in-)
        int32_t columns[Columns] {}; // the solution entries of the control
        int32_t branch = 0; // of a voltage output
        typename Output::template Cells<Columns> cells;
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
        Control::template rows<Instance>(Controller));

    static int check(IFcircuit&, Instance& s)
    {
        if (!s.given || !std::isfinite(s.gain))
            return fail(E_BADDEVICE, "%s %s has no finite gain", words.what, s.name.c_str());
        return Control::check(words.what, s);
    }

    static int bind(IFcircuit& ckt, Instance& s)
    {
        if (int code = terminalnumbers(s, Control::Terminals, s.nodes))
            return code;
        if (int code = Control::resolve(ckt, words.what, s, s.nodes, s.columns))
            return code;
        if constexpr (Output::Branch)
            s.branch = ckt.addbranch(&s, s.name.c_str(), "branch");
        Output::bind(ckt, s);
        return 0;
    }

    static void unbind(Instance& s)
    {
        s.branch = 0;
        Control::unbind(s);
    }
    static void load(IFcircuit&, std::deque<Instance>& list) { Output::load(list); }
    static void topology(Topology& topology, const Instance& s) { Output::topology(topology, s); }
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
