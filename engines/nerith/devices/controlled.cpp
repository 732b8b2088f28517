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
    static constexpr bool Branch = false;
    // Cells: out+ by in+ and in-, out- by in+ and in-.
    using Cells = std::array<int32_t, 4>;

    template <class Instance> static double current(IFcircuit& ckt, const Instance& g)
    {
        const auto& x = ckt.solution;
        auto at = [&](int k) { return x[static_cast<std::size_t>(g.nodes[k])]; };
        return g.gain * (at(2) - at(3));
    }

    static Cells places(SparseMatrix& m, const int32_t* nodes, int32_t)
    {
        return { m.place(nodes[0], nodes[2]), m.place(nodes[0], nodes[3]), m.place(nodes[1], nodes[2]),
            m.place(nodes[1], nodes[3]) };
    }

    template <class Hot> static void load(double* a, const Hot& g)
    {
        a[g.cells[0]] += g.gain;
        a[g.cells[1]] -= g.gain;
        a[g.cells[2]] -= g.gain;
        a[g.cells[3]] += g.gain;
    }

    template <class Instance> static void topology(Topology&, const Instance&) { }
};

// The output of a voltage-controlled voltage source: v(out+) - v(out-) = gain * (v(in+) - v(in-)),
// with a branch current counted as the voltage source's.
struct VoltageOutput {
    static constexpr const char* what = "voltage-controlled voltage source";
    static constexpr const char* gaindescription = "Gain";
    static constexpr const char* gainunit = "";
    static constexpr bool Branch = true;
    // Cells: out+ and out- by the branch, the branch by out+, out-, in+ and in-.
    using Cells = std::array<int32_t, 6>;

    template <class Instance> static double current(IFcircuit& ckt, const Instance& e)
    {
        return e.bound ? ckt.solution[static_cast<std::size_t>(e.branch)] : 0;
    }

    static Cells places(SparseMatrix& m, const int32_t* nodes, int32_t branch)
    {
        return { m.place(nodes[0], branch), m.place(nodes[1], branch), m.place(branch, nodes[0]),
            m.place(branch, nodes[1]), m.place(branch, nodes[2]), m.place(branch, nodes[3]) };
    }

    template <class Hot> static void load(double* a, const Hot& e)
    {
        a[e.cells[0]] += 1;
        a[e.cells[1]] -= 1;
        a[e.cells[2]] += 1;
        a[e.cells[3]] -= 1;
        a[e.cells[4]] -= e.gain;
        a[e.cells[5]] += e.gain;
    }

    template <class Instance> static void topology(Topology& topology, const Instance& e)
    {
        topology.fixes(e, e.nodes[0], e.nodes[1]);
    }
};

// A source controlled by the voltage between its input terminals; `Output` makes it a current or
// a voltage source and holds what stamps it.
template <class Output> struct Controlled : LinearDevice {
    struct Hot {
        double gain;
        typename Output::Cells cells;
    };

    struct Instance : Bindable<Hot> {
        double gain;
        bool given = false;
        int32_t nodes[4] {}; // out+, out-, in+, in-
        int32_t branch = 0; // of a voltage output
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

    static int bind(IFcircuit& ckt, Instance& s, Hot& h)
    {
        if (int code = terminalnumbers(s, 4, s.nodes))
            return code;
        if constexpr (Output::Branch)
            s.branch = ckt.addbranch(&s, s.name.c_str(), "branch");
        h.cells = Output::places(ckt.matrix, s.nodes, s.branch);
        return 0;
    }

    static int check(IFcircuit&, const Instance& s, Hot& h)
    {
        if (!s.given || !std::isfinite(s.gain))
            return fail(E_BADDEVICE, "%s %s has no finite gain", Output::what, s.name.c_str());
        h.gain = s.gain;
        return 0;
    }

    static void unbind(Instance& s) { s.branch = 0; }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* a = ckt.matrix.stamps();
        for (const Hot& s : list)
            Output::load(a, s);
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& h)
    {
        Output::load(ckt.matrix.stamps(), h);
    }

    static void topology(Topology& topology, const Instance& s, const Hot&) { Output::topology(topology, s); }
};

} // namespace

extern const DeviceKind vcvskind;
constexpr DeviceKind vcvskind
    = devicekind<Controlled<VoltageOutput>>("VCVS", "Voltage controlled voltage source", 4);
extern const DeviceKind vccskind;
constexpr DeviceKind vccskind
    = devicekind<Controlled<CurrentOutput>>("VCCS", "Voltage controlled current source", 4);

} // namespace nerith
