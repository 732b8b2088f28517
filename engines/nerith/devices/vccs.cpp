#include "engines/nerith/devices/family.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Gain = 1;
constexpr int32_t Current = 10;
constexpr int32_t Power = 11;

const IFparm parameters[] = {
    { "gain", Gain, IF_REAL | IF_SET | IF_ASK, "Transconductance" },
    { "i", Current, IF_REAL | IF_ASK, "Current" },
    { "p", Power, IF_REAL | IF_ASK, "Power delivered" },
};

// A voltage-controlled current source: gain * (v(in+) - v(in-)) flows from out+ through the source
// to out-, as an independent current source's does.
struct Vccs : LinearDevice {
    struct Instance : IFinstance {
        double gain = 0;
        bool given = false;
        int32_t nodes[4] {}; // out+, out-, in+, in-
        double* outposinpos = nullptr;
        double* outposinneg = nullptr;
        double* outneginpos = nullptr;
        double* outneginneg = nullptr;
    };

    static int set(Instance& g, int32_t id, const IFvalue& value)
    {
        if (id != Gain)
            return E_BADPARM;
        g.gain = value.rValue;
        g.given = true;
        return 0;
    }

    static int ask(IFcircuit& ckt, Instance& g, int32_t id, IFvalue& value)
    {
        const auto& x = ckt.solution;
        auto at = [&](int k) { return x[static_cast<std::size_t>(g.nodes[k])]; };
        const double current = g.gain * (at(2) - at(3));
        switch (id) {
        case Gain:
            value.rValue = g.gain;
            return 0;
        case Current:
            value.rValue = current;
            return 0;
        case Power:
            value.rValue = -(at(0) - at(1)) * current;
            return 0;
        default:
            return E_BADPARM;
        }
    }

    static int check(IFcircuit&, Instance& g)
    {
        if (!g.given || !std::isfinite(g.gain))
            return fail(
                E_BADDEVICE, "voltage-controlled current source %s has no finite gain", g.name.c_str());
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& g)
    {
        if (int code = terminalnumbers(g, 4, g.nodes))
            return code;
        SparseMatrix& m = ckt.matrix;
        g.outposinpos = m.element(g.nodes[0], g.nodes[2]);
        g.outposinneg = m.element(g.nodes[0], g.nodes[3]);
        g.outneginpos = m.element(g.nodes[1], g.nodes[2]);
        g.outneginneg = m.element(g.nodes[1], g.nodes[3]);
        return 0;
    }

    static void unbind(Instance&) { }

    static void load(IFcircuit&, std::deque<Instance>& list)
    {
        for (Instance& g : list) {
            if (g.deleted)
                continue;
            *g.outposinpos += g.gain;
            *g.outposinneg -= g.gain;
            *g.outneginpos -= g.gain;
            *g.outneginneg += g.gain;
        }
    }

    static void topology(Topology&, const Instance&) { }
};

} // namespace

extern const DeviceKind vccskind;
const DeviceKind vccskind { { "VCCS", "Voltage controlled current source", 4, count(parameters), parameters,
                                0, nullptr },
    &makefamily<Vccs> };

} // namespace nerith
