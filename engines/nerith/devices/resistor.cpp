#include "engines/nerith/devices/coefficients.h"
#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/nerith.h"
#include "engines/nerith/noise.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Temperature = 2;
constexpr int32_t ResistorCurrent = 10;
constexpr int32_t ResistorPower = 11;

struct Resistor : LinearDevice {
    struct Hot {
        double conductance; // of all M in parallel at the instance's temperature
        std::array<int32_t, 4> cells; // conductanceplaces()
    };

    struct Instance : Bindable<Hot> {
        double resistance;
        bool given = false;
        double temp;
        bool tempgiven = false;
        double dtemp, m, tc1, tc2;
        int32_t pos = 0;
        int32_t neg = 0;
    };

    static double across(IFcircuit& ckt, const Instance& r)
    {
        return ckt.solution[static_cast<std::size_t>(r.pos)] - ckt.solution[static_cast<std::size_t>(r.neg)];
    }
    static double current(IFcircuit& ckt, const Instance& r)
    {
        return r.bound ? across(ckt, r) * r.hot->conductance : 0;
    }
    static double power(IFcircuit& ckt, const Instance& r)
    {
        const double v = across(ckt, r);
        return r.bound ? v * v * r.hot->conductance : 0;
    }

    static constexpr auto parameters = parametertable<Instance>(
        {
            field<&Instance::resistance, &Instance::given>("resistance", RES_RESISTANCE, "Resistance")
                .in("ohm"),
            computed<&current>("i", ResistorCurrent, "Current").in("A"),
            computed<&power>("p", ResistorPower, "Power dissipated").in("W"),
        },
        coefficientrows<Instance>(Temperature));

    static int bind(IFcircuit& ckt, Instance& r, Hot& h)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(r, 2, nodes))
            return code;
        r.pos = nodes[0];
        r.neg = nodes[1];
        h.cells = conductanceplaces(ckt.matrix, r.pos, r.neg);
        return 0;
    }

    static int check(IFcircuit& ckt, const Instance& r, Hot& h)
    {
        if (!r.given)
            return fail(E_BADDEVICE, "resistor %s has no resistance", r.name.c_str());
        // A zero (or vanishing) resistance has no conductance to stamp; negative ones are allowed.
        const double resistance
            = r.resistance * temperaturefactor(ckt, r.tempgiven, r.temp, r.dtemp, r.tc1, r.tc2);
        const double conductance = r.m / resistance;
        if (resistance == 0 || !std::isfinite(conductance) || !std::isfinite(resistance))
            return fail(E_BADDEVICE, "resistor %s has a resistance of %g ohm, which cannot be simulated",
                r.name.c_str(), resistance);
        h.conductance = conductance;
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* a = ckt.matrix.stamps();
        for (const Hot& r : list)
            stampconductance(a, r.cells.data(), r.conductance);
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& h)
    {
        stampconductance(ckt.matrix.stamps(), h.cells.data(), h.conductance);
    }

    static void noise(IFcircuit& ckt, const Instance& r, const Hot& h, NoiseSources& sources)
    {
        const double kelvin = (r.tempgiven ? r.temp : ckt.options.temp + r.dtemp) + KelvinOffset;
        sources.add(r, { { "", r.pos, r.neg, thermalnoise(kelvin, h.conductance) } });
    }

    static void topology(Topology& topology, const Instance& r, const Hot&)
    {
        topology.conducts(r.pos, r.neg);
    }
};

} // namespace

extern const DeviceKind resistorkind;
constexpr DeviceKind resistorkind = devicekind<Resistor>("Resistor", "Simple linear resistor", 2);

} // namespace nerith
