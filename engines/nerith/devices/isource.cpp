#include "engines/nerith/devices/family.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t SourceDc = 1;
constexpr int32_t SourceVoltage = 21;
constexpr int32_t SourcePower = 22;

const IFparm parameters[] = {
    { "dc", SourceDc, IF_REAL | IF_SET | IF_ASK, "DC value" },
    { "v", SourceVoltage, IF_REAL | IF_ASK, "Voltage across" },
    { "p", SourcePower, IF_REAL | IF_ASK, "Power delivered" },
};

// An independent current source: its current flows from the positive terminal through the source
// to the negative one, so it leaves the circuit at the positive node and enters it at the negative.
struct Isource : LinearDevice {
    struct Instance : IFinstance {
        double dc = 0;
        int32_t pos = 0;
        int32_t neg = 0;
    };

    static int set(Instance& i, int32_t id, const IFvalue& value)
    {
        if (id != SourceDc)
            return E_BADPARM;
        i.dc = value.rValue;
        return 0;
    }

    static int ask(IFcircuit& ckt, Instance& i, int32_t id, IFvalue& value)
    {
        const double across
            = ckt.solution[static_cast<std::size_t>(i.pos)] - ckt.solution[static_cast<std::size_t>(i.neg)];
        switch (id) {
        case SourceDc:
            value.rValue = i.dc;
            return 0;
        case SourceVoltage:
            value.rValue = across;
            return 0;
        case SourcePower:
            value.rValue = -across * i.dc;
            return 0;
        default:
            return E_BADPARM;
        }
    }

    static int check(IFcircuit&, Instance& i)
    {
        if (!std::isfinite(i.dc))
            return fail(E_BADDEVICE, "current source %s has no finite value", i.name.c_str());
        return 0;
    }

    static int bind(IFcircuit&, Instance& i)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(i, 2, nodes))
            return code;
        i.pos = nodes[0];
        i.neg = nodes[1];
        return 0;
    }

    static void unbind(Instance&) { }

    static void load(IFcircuit& ckt, std::deque<Instance>& list)
    {
        double* rhs = ckt.rhs.data();
        const double factor = ckt.srcfact;
        for (Instance& i : list) {
            if (i.deleted)
                continue;
            const double value = factor * i.dc;
            rhs[i.pos] -= value;
            rhs[i.neg] += value;
        }
    }

    static void topology(Topology&, const Instance&) { }
};

} // namespace

extern const DeviceKind isourcekind;
const DeviceKind isourcekind { { "Isource", "Independent current source", 2, count(parameters), parameters, 0,
                                   nullptr },
    &makefamily<Isource> };

} // namespace nerith
