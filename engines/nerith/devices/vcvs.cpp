#include "engines/nerith/devices/family.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Gain = 1;
constexpr int32_t Current = 10;
constexpr int32_t Power = 11;

const IFparm parameters[] = {
    { "gain", Gain, IF_REAL | IF_SET | IF_ASK, "Gain" },
    { "i", Current, IF_REAL | IF_ASK, "Current" },
    { "p", Power, IF_REAL | IF_ASK, "Power delivered" },
};

// A voltage-controlled voltage source: v(out+) - v(out-) = gain * (v(in+) - v(in-)), with a branch
// current counted as the voltage source's.
struct Vcvs : LinearDevice {
    struct Instance : IFinstance {
        double gain = 0;
        bool given = false;
        int32_t nodes[4] {}; // out+, out-, in+, in-
        int32_t branch = 0;
        double* outposbranch = nullptr;
        double* outnegbranch = nullptr;
        double* branchoutpos = nullptr;
        double* branchoutneg = nullptr;
        double* branchinpos = nullptr;
        double* branchinneg = nullptr;
    };

    static int set(Instance& e, int32_t id, const IFvalue& value)
    {
        if (id != Gain)
            return E_BADPARM;
        e.gain = value.rValue;
        e.given = true;
        return 0;
    }

    static int ask(IFcircuit& ckt, Instance& e, int32_t id, IFvalue& value)
    {
        const auto& x = ckt.solution;
        const double current = e.bound ? x[static_cast<std::size_t>(e.branch)] : 0;
        switch (id) {
        case Gain:
            value.rValue = e.gain;
            return 0;
        case Current:
            value.rValue = current;
            return 0;
        case Power:
            value.rValue
                = -(x[static_cast<std::size_t>(e.nodes[0])] - x[static_cast<std::size_t>(e.nodes[1])])
                * current;
            return 0;
        default:
            return E_BADPARM;
        }
    }

    static int check(IFcircuit&, Instance& e)
    {
        if (!e.given || !std::isfinite(e.gain))
            return fail(
                E_BADDEVICE, "voltage-controlled voltage source %s has no finite gain", e.name.c_str());
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& e)
    {
        if (int code = terminalnumbers(e, 4, e.nodes))
            return code;
        e.branch = ckt.addbranch(&e, e.name.c_str(), "branch");
        SparseMatrix& m = ckt.matrix;
        e.outposbranch = m.element(e.nodes[0], e.branch);
        e.outnegbranch = m.element(e.nodes[1], e.branch);
        e.branchoutpos = m.element(e.branch, e.nodes[0]);
        e.branchoutneg = m.element(e.branch, e.nodes[1]);
        e.branchinpos = m.element(e.branch, e.nodes[2]);
        e.branchinneg = m.element(e.branch, e.nodes[3]);
        return 0;
    }

    static void unbind(Instance& e) { e.branch = 0; }

    static void load(IFcircuit&, std::deque<Instance>& list)
    {
        for (Instance& e : list) {
            if (e.deleted)
                continue;
            *e.outposbranch += 1;
            *e.outnegbranch -= 1;
            *e.branchoutpos += 1;
            *e.branchoutneg -= 1;
            *e.branchinpos -= e.gain;
            *e.branchinneg += e.gain;
        }
    }

    static void topology(Topology& topology, const Instance& e) { topology.fixes(e, e.nodes[0], e.nodes[1]); }
};

} // namespace

extern const DeviceKind vcvskind;
const DeviceKind vcvskind { { "VCVS", "Voltage controlled voltage source", 4, count(parameters), parameters,
                                0, nullptr },
    &makefamily<Vcvs> };

} // namespace nerith
