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
    using Model = CoefficientModel;
    static constexpr auto modelparameters = coefficientmodelparameters(1);

    struct Hot {
        double conductance; // of all M in parallel at the instance's temperature
        std::array<int32_t, 4> cells; // conductanceplaces()
    };

    struct Instance : Bindable<Hot> {
        double resistance;
        bool given = false;
        std::unique_ptr<Coefficients> coefficients;
    };

    static double across(IFcircuit& ckt, const Instance& r)
    {
        return r.bound ? ckt.solution[static_cast<std::size_t>(ckt.terminal(r, 0)->number)]
                - ckt.solution[static_cast<std::size_t>(ckt.terminal(r, 1)->number)]
                       : 0;
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
        if (int code = terminalnumbers(ckt, r, 2, nodes))
            return code;
        h.cells = conductanceplaces(ckt.matrix, nodes[0], nodes[1]);
        return 0;
    }

    static int check(IFcircuit& ckt, const Instance& r, Hot& h)
    {
        if (!r.given)
            return fail(E_BADDEVICE, "resistor %s has no resistance", r.name);
        // A zero (or vanishing) resistance has no conductance to stamp; negative ones are allowed.
        const double resistance = r.resistance * temperaturefactor(ckt, r.coefficients.get(), *r.model);
        const double conductance = multiplier(r.coefficients.get()) / resistance;
        if (resistance == 0 || !std::isfinite(conductance) || !std::isfinite(resistance))
            return fail(E_BADDEVICE, "resistor %s has a resistance of %g ohm, which cannot be simulated",
                r.name, resistance);
        h.conductance = conductance;
        return 0;
    }

    // A DC sweep changes the resistance alone.
    static std::function<void()> preserve(Instance& r)
    {
        return [&r, resistance = r.resistance, given = r.given] {
            r.resistance = resistance;
            r.given = given;
        };
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
        const double kelvin = instancetemperature(ckt, r.coefficients.get()) + KelvinOffset;
        sources.add(r,
            { { "", ckt.terminal(r, 0)->number, ckt.terminal(r, 1)->number,
                thermalnoise(kelvin, h.conductance) } });
    }

    static void topology(Topology& topology, const Instance& r, const Hot&)
    {
        topology.conducts(topology.terminal(r, 0), topology.terminal(r, 1));
    }
};

} // namespace

extern const DeviceKind resistorkind;
constexpr DeviceKind resistorkind = devicekind<Resistor>("Resistor", "Simple linear resistor", 2);

} // namespace nerith
