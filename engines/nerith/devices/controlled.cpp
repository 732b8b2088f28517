#include "engines/nerith/devices/family.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Gain = 1;
constexpr int32_t Current = 10;
constexpr int32_t Power = 11;

// The output of a voltage-controlled current source: gain * (v(in+) - v(in-)) flows from out+
// through the source to out-, as an independent current source's does.
struct CurrentOutput {
    static constexpr const char* what = "voltage-controlled current source";
    static constexpr const char* gaindescription = "Transconductance";
    static constexpr const char* gainunit = "S";

    struct Cells {
        double* outposinpos = nullptr;
        double* outposinneg = nullptr;
        double* outneginpos = nullptr;
        double* outneginneg = nullptr;
    };

    template <class Instance> static double current(IFcircuit& ckt, const Instance& g)
    {
        const auto& x = ckt.solution;
        auto at = [&](int k) { return x[static_cast<std::size_t>(g.nodes[k])]; };
        return g.gain * (at(2) - at(3));
    }

    template <class Instance> static void bind(IFcircuit& ckt, Instance& g)
    {
        SparseMatrix& m = ckt.matrix;
        g.cells.outposinpos = m.element(g.nodes[0], g.nodes[2]);
        g.cells.outposinneg = m.element(g.nodes[0], g.nodes[3]);
        g.cells.outneginpos = m.element(g.nodes[1], g.nodes[2]);
        g.cells.outneginneg = m.element(g.nodes[1], g.nodes[3]);
    }

    template <class Instance> static void unbind(Instance&) { }

    template <class Instance> static void load(std::deque<Instance>& list)
    {
        for (Instance& g : list) {
            if (g.deleted)
                continue;
            Cells& c = g.cells;
            *c.outposinpos += g.gain;
            *c.outposinneg -= g.gain;
            *c.outneginpos -= g.gain;
            *c.outneginneg += g.gain;
        }
    }

    template <class Instance> static void topology(Topology&, const Instance&) { }
};

// The output of a voltage-controlled voltage source: v(out+) - v(out-) = gain * (v(in+) - v(in-)),
// with a branch current counted as the voltage source's.
struct VoltageOutput {
    static constexpr const char* what = "voltage-controlled voltage source";
    static constexpr const char* gaindescription = "Gain";
    static constexpr const char* gainunit = "";

    struct Cells {
        int32_t branch = 0;
        double* outposbranch = nullptr;
        double* outnegbranch = nullptr;
        double* branchoutpos = nullptr;
        double* branchoutneg = nullptr;
        double* branchinpos = nullptr;
        double* branchinneg = nullptr;
    };

    template <class Instance> static double current(IFcircuit& ckt, const Instance& e)
    {
        return e.bound ? ckt.solution[static_cast<std::size_t>(e.cells.branch)] : 0;
    }

    template <class Instance> static void bind(IFcircuit& ckt, Instance& e)
    {
        Cells& c = e.cells;
        c.branch = ckt.addbranch(&e, e.name.c_str(), "branch");
        SparseMatrix& m = ckt.matrix;
        c.outposbranch = m.element(e.nodes[0], c.branch);
        c.outnegbranch = m.element(e.nodes[1], c.branch);
        c.branchoutpos = m.element(c.branch, e.nodes[0]);
        c.branchoutneg = m.element(c.branch, e.nodes[1]);
        c.branchinpos = m.element(c.branch, e.nodes[2]);
        c.branchinneg = m.element(c.branch, e.nodes[3]);
    }

    template <class Instance> static void unbind(Instance& e) { e.cells.branch = 0; }

    template <class Instance> static void load(std::deque<Instance>& list)
    {
        for (Instance& e : list) {
            if (e.deleted)
                continue;
            Cells& c = e.cells;
            *c.outposbranch += 1;
            *c.outnegbranch -= 1;
            *c.branchoutpos += 1;
            *c.branchoutneg -= 1;
            *c.branchinpos -= e.gain;
            *c.branchinneg += e.gain;
        }
    }

    template <class Instance> static void topology(Topology& topology, const Instance& e)
    {
        topology.fixes(e, e.nodes[0], e.nodes[1]);
    }
};

// A source controlled by the voltage between its input terminals; `Output` makes it a current or
// a voltage source and holds what stamps it.
template <class Output> struct Controlled : LinearDevice {
    struct Instance : IFinstance {
        double gain;
        bool given = false;
        int32_t nodes[4] {}; // out+, out-, in+, in-
        typename Output::Cells cells;
    };

    static double current(IFcircuit& ckt, const Instance& s) { return Output::current(ckt, s); }
    static double power(IFcircuit& ckt, const Instance& s)
    {
        const auto& x = ckt.solution;
        return -(x[static_cast<std::size_t>(s.nodes[0])] - x[static_cast<std::size_t>(s.nodes[1])])
            * current(ckt, s);
    }

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::gain, &Instance::given>("gain", Gain, Output::gaindescription).in(Output::gainunit),
        computed<&current>("i", Current, "Current").in("A"),
        computed<&power>("p", Power, "Power delivered").in("W"),
    });

    static int check(IFcircuit&, Instance& s)
    {
        if (!s.given || !std::isfinite(s.gain))
            return fail(E_BADDEVICE, "%s %s has no finite gain", Output::what, s.name.c_str());
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& s)
    {
        if (int code = terminalnumbers(s, 4, s.nodes))
            return code;
        Output::bind(ckt, s);
        return 0;
    }

    static void unbind(Instance& s) { Output::unbind(s); }
    static void load(IFcircuit&, std::deque<Instance>& list) { Output::load(list); }
    static void topology(Topology& topology, const Instance& s) { Output::topology(topology, s); }
};

} // namespace

extern const DeviceKind vcvskind;
constexpr DeviceKind vcvskind
    = devicekind<Controlled<VoltageOutput>>("VCVS", "Voltage controlled voltage source", 4);
extern const DeviceKind vccskind;
constexpr DeviceKind vccskind
    = devicekind<Controlled<CurrentOutput>>("VCCS", "Voltage controlled current source", 4);

} // namespace nerith
