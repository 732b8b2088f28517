#include "engines/nerith/devices/coefficients.h"
#include "engines/nerith/devices/family.h"

#include <algorithm>
#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Capacitance = 1;
constexpr int32_t InitialVoltage = 2;
constexpr int32_t Temperature = 3;
constexpr int32_t Current = 10;
constexpr int32_t Voltage = 11;

// A linear capacitor, integrated by its charge: state q = C v and its current q'. Open in DC.
struct Capacitor : LinearDevice {
    using Model = CoefficientModel;
    static constexpr auto modelparameters = coefficientmodelparameters(1);

    struct Hot {
        double capacitance; // of all M in parallel at the instance's temperature
        double history; // the current's part that does not depend on the present charge
        double ic; // the initial voltage with UIC; no number when none is given
        int32_t pos;
        int32_t neg;
        int32_t state; // charge; current at state + 1
        std::array<int32_t, 4> cells; // conductanceplaces()
    };

    struct Instance : Bindable<Hot> {
        double capacitance;
        bool given = false;
        double ic;
        bool icgiven = false;
        std::unique_ptr<Coefficients> coefficients;
    };

    static double current(IFcircuit& ckt, const Instance& c)
    {
        return c.bound && (ckt.mode & MODE_TRAN) ? ckt.states[0][static_cast<std::size_t>(c.hot->state) + 1]
                                                 : 0;
    }
    static double voltage(IFcircuit& ckt, const Instance& c)
    {
        return c.bound ? ckt.solution[static_cast<std::size_t>(c.hot->pos)]
                - ckt.solution[static_cast<std::size_t>(c.hot->neg)]
                       : 0;
    }

    static constexpr auto parameters = parametertable<Instance>(
        {
            field<&Instance::capacitance, &Instance::given>("capacitance", Capacitance, "Capacitance")
                .in("F"),
            field<&Instance::ic, &Instance::icgiven>("ic", InitialVoltage, "Initial voltage (with UIC)")
                .in("V"),
            computed<&current>("i", Current, "Current").in("A"),
            computed<&voltage>("v", Voltage, "Voltage").in("V"),
        },
        coefficientrows<Instance>(Temperature));

    static int bind(IFcircuit& ckt, Instance& c, Hot& h)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(ckt, c, 2, nodes))
            return code;
        h.pos = nodes[0];
        h.neg = nodes[1];
        if ((h.state = ckt.models.allocstates(2)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", c.name);
        h.cells = conductanceplaces(ckt.matrix, h.pos, h.neg);
        return 0;
    }

    static int check(IFcircuit& ckt, const Instance& c, Hot& h)
    {
        const Coefficients* k = c.coefficients.get();
        h.capacitance = multiplier(k) * c.capacitance * temperaturefactor(ckt, k, *c.model);
        if (!c.given || !std::isfinite(h.capacitance))
            return fail(E_BADDEVICE, "capacitor %s has no finite capacitance", c.name);
        if (c.icgiven && !std::isfinite(c.ic))
            return fail(E_BADDEVICE, "capacitor %s has no finite initial voltage", c.name);
        h.ic = c.icgiven ? c.ic : std::nan("");
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        if (!(ckt.mode & MODE_TRAN))
            return;
        const double* x = ckt.solution.data();
        double* rhs = ckt.rhs.data();
        double* a = ckt.matrix.stamps();
        const double slope = ckt.integration.slope();
        if (ckt.mode & MODE_INITTRAN) {
            // The charge the transient starts from: the operating point's, or the initial voltage.
            const bool uic = ckt.mode & MODE_UIC;
            for (const Hot& c : list) {
                const double v = uic && !std::isnan(c.ic) ? c.ic : x[c.pos] - x[c.neg];
                const auto q = static_cast<std::size_t>(c.state);
                ckt.states[1][q] = c.capacitance * v;
                ckt.states[1][q + 1] = 0;
            }
        }
        for (Hot& c : list) {
            c.history = history(ckt, c.state);
            stampconductance(a, c.cells.data(), slope * c.capacitance);
            rhs[c.pos] -= c.history;
            rhs[c.neg] += c.history;
        }
    }

    static void settle(IFcircuit& ckt, std::span<Hot> list, TruncationTest* test)
    {
        const double* x = ckt.solution.data();
        double* state = ckt.states[0].data();
        const double slope = ckt.integration.slope();
        const double tolerance = ckt.options.abstol;
        for (const Hot& c : list) {
            const double q = c.capacitance * (x[c.pos] - x[c.neg]);
            state[c.state] = q;
            state[c.state + 1] = slope * q + c.history;
            if (test)
                test->add(c.state, tolerance);
        }
    }

    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        const double tolerance = ckt.options.abstol;
        for (const Hot& c : list)
            test.add(c.state, tolerance);
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& h)
    {
        stampconductance(ckt.matrix.imaginary(), h.cells.data(), ckt.omega * h.capacitance);
    }

    static void topology(Topology&, const Instance&, const Hot&) { }
};

} // namespace

extern const DeviceKind capacitorkind;
constexpr DeviceKind capacitorkind = devicekind<Capacitor>("Capacitor", "Fixed capacitor", 2);

} // namespace nerith
