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
    struct Instance : IFinstance {
        double capacitance;
        bool given = false;
        double ic;
        bool icgiven = false;
        double temp;
        bool tempgiven = false;
        double dtemp, m, tc1, tc2;
        double effective = 0; // of all M in parallel at the instance's temperature
        int32_t pos = 0;
        int32_t neg = 0;
        int32_t state = 0; // charge; current at state + 1
        double history = 0; // the current's part that does not depend on the present charge
        double* pospos = nullptr;
        double* negneg = nullptr;
        double* posneg = nullptr;
        double* negpos = nullptr;
    };

    static double current(IFcircuit& ckt, const Instance& c)
    {
        return c.bound && (ckt.mode & MODE_TRAN) ? ckt.states[0][static_cast<std::size_t>(c.state) + 1] : 0;
    }
    static double voltage(IFcircuit& ckt, const Instance& c)
    {
        return ckt.solution[static_cast<std::size_t>(c.pos)] - ckt.solution[static_cast<std::size_t>(c.neg)];
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

    static int check(IFcircuit& ckt, Instance& c)
    {
        c.effective
            = c.m * c.capacitance * temperaturefactor(ckt, c.tempgiven, c.temp, c.dtemp, c.tc1, c.tc2);
        if (!c.given || !std::isfinite(c.effective))
            return fail(E_BADDEVICE, "capacitor %s has no finite capacitance", c.name.c_str());
        if (c.icgiven && !std::isfinite(c.ic))
            return fail(E_BADDEVICE, "capacitor %s has no finite initial voltage", c.name.c_str());
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& c)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(c, 2, nodes))
            return code;
        c.pos = nodes[0];
        c.neg = nodes[1];
        if ((c.state = ckt.models.allocstates(2)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", c.name.c_str());
        SparseMatrix& m = ckt.matrix;
        c.pospos = m.element(c.pos, c.pos);
        c.negneg = m.element(c.neg, c.neg);
        c.posneg = m.element(c.pos, c.neg);
        c.negpos = m.element(c.neg, c.pos);
        return 0;
    }

    static void unbind(Instance&) { }

    static void load(IFcircuit& ckt, std::deque<Instance>& list)
    {
        if (!(ckt.mode & MODE_TRAN))
            return;
        const double* x = ckt.solution.data();
        double* rhs = ckt.rhs.data();
        const double slope = ckt.integration.slope();
        const bool first = ckt.mode & MODE_INITTRAN;
        const bool uic = ckt.mode & MODE_UIC;
        for (Instance& c : list) {
            if (c.deleted)
                continue;
            const auto q = static_cast<std::size_t>(c.state);
            if (first) {
                // The charge the transient starts from: the operating point's, or the initial voltage.
                const double v = uic && c.icgiven ? c.ic : x[c.pos] - x[c.neg];
                ckt.states[1][q] = c.effective * v;
                ckt.states[1][q + 1] = 0;
            }
            c.history = history(ckt, c.state);
            const double g = slope * c.effective;
            *c.pospos += g;
            *c.negneg += g;
            *c.posneg -= g;
            *c.negpos -= g;
            rhs[c.pos] -= c.history;
            rhs[c.neg] += c.history;
        }
    }

    static void update(IFcircuit& ckt, std::deque<Instance>& list)
    {
        const double* x = ckt.solution.data();
        double* state = ckt.states[0].data();
        const double slope = ckt.integration.slope();
        for (Instance& c : list) {
            if (c.deleted)
                continue;
            const double q = c.effective * (x[c.pos] - x[c.neg]);
            state[c.state] = q;
            state[c.state + 1] = slope * q + c.history;
        }
    }

    static double truncation(IFcircuit& ckt, std::deque<Instance>& list, int32_t order)
    {
        TruncationTest test(ckt, order);
        if (!test.possible())
            return test.step();
        const double tolerance = ckt.options.abstol;
        for (const Instance& i : list) {
            if (!i.deleted)
                test.add(i.state, tolerance);
        }
        return test.step();
    }

    static void topology(Topology&, const Instance&) { }
};

} // namespace

extern const DeviceKind capacitorkind;
constexpr DeviceKind capacitorkind = devicekind<Capacitor>("Capacitor", "Fixed capacitor", 2);

} // namespace nerith
