#include "engines/nerith/devices/family.h"
#include "engines/nerith/nerith.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t ResistorCurrent = 10;
constexpr int32_t ResistorPower = 11;

const IFparm parameters[] = {
    { "resistance", RES_RESISTANCE, IF_REAL | IF_SET | IF_ASK, "Resistance" },
    { "i", ResistorCurrent, IF_REAL | IF_ASK, "Current" },
    { "p", ResistorPower, IF_REAL | IF_ASK, "Power dissipated" },
};

struct Resistor : LinearDevice {
    struct Instance : IFinstance {
        double resistance = 0;
        bool given = false;
        double conductance = 0;
        int32_t pos = 0;
        int32_t neg = 0;
        double* pospos = nullptr;
        double* negneg = nullptr;
        double* posneg = nullptr;
        double* negpos = nullptr;
    };

    static int set(Instance& r, int32_t id, const IFvalue& value)
    {
        if (id != RES_RESISTANCE)
            return E_BADPARM;
        r.resistance = value.rValue;
        r.given = true;
        return 0;
    }

    static int ask(IFcircuit& ckt, Instance& r, int32_t id, IFvalue& value)
    {
        const double across
            = ckt.solution[static_cast<std::size_t>(r.pos)] - ckt.solution[static_cast<std::size_t>(r.neg)];
        switch (id) {
        case RES_RESISTANCE:
            value.rValue = r.resistance;
            return 0;
        case ResistorCurrent:
            value.rValue = across * r.conductance;
            return 0;
        case ResistorPower:
            value.rValue = across * across * r.conductance;
            return 0;
        default:
            return E_BADPARM;
        }
    }

    static int check(IFcircuit&, Instance& r)
    {
        if (!r.given)
            return fail(E_BADDEVICE, "resistor %s has no resistance", r.name.c_str());
        // A zero (or vanishing) resistance has no conductance to stamp; negative ones are allowed.
        const double conductance = 1.0 / r.resistance;
        if (r.resistance == 0 || !std::isfinite(conductance) || !std::isfinite(r.resistance))
            return fail(E_BADDEVICE, "resistor %s has a resistance of %g ohm, which cannot be simulated",
                r.name.c_str(), r.resistance);
        r.conductance = conductance;
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& r)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(r, 2, nodes))
            return code;
        r.pos = nodes[0];
        r.neg = nodes[1];
        SparseMatrix& m = ckt.matrix;
        r.pospos = m.element(r.pos, r.pos);
        r.negneg = m.element(r.neg, r.neg);
        r.posneg = m.element(r.pos, r.neg);
        r.negpos = m.element(r.neg, r.pos);
        return 0;
    }

    static void unbind(Instance&) { }

    static void load(IFcircuit&, std::deque<Instance>& list)
    {
        for (Instance& r : list) {
            if (r.deleted)
                continue;
            const double g = r.conductance;
            *r.pospos += g;
            *r.negneg += g;
            *r.posneg -= g;
            *r.negpos -= g;
        }
    }

    static void topology(Topology& topology, const Instance& r) { topology.conducts(r.pos, r.neg); }
};

} // namespace

extern const DeviceKind resistorkind;
const DeviceKind resistorkind { { "Resistor", "Simple linear resistor", 2, count(parameters), parameters, 0,
                                    nullptr },
    &makefamily<Resistor> };

} // namespace nerith
