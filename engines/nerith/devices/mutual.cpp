#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/inductor.h"

#include <cmath>
#include <string>

namespace nerith {

namespace {

constexpr int32_t First = 1;
constexpr int32_t Second = 2;
constexpr int32_t Coupling = 3;
constexpr int32_t Mutual = 4;

// The mutual inductance M = k sqrt(L1 L2) of two inductors. Each inductor's flux holds M times the
// other's current, so in a transient each branch equation gains -slope M times the other branch;
// in DC both are shorts and it adds nothing. Several couplings make transformers of more windings.
struct MutualInductance : LinearDevice {
    struct Hot {
        double mutual;
        std::array<int32_t, 2> cells; // the first inductor's branch by the second's, and back
    };

    struct Instance : Bindable<Hot> {
        std::string first;
        std::string second;
        double k;
        bool kgiven = false;
        double mutual = 0; // M, read by the inductors' fluxes
        IFinstance* a = nullptr; // the inductors
        IFinstance* b = nullptr;
    };

    static int setfirst(Instance& m, const IFvalue& value) { return setname(m.first, value); }
    static int setsecond(Instance& m, const IFvalue& value) { return setname(m.second, value); }
    static int setname(std::string& name, const IFvalue& value)
    {
        if (!value.uValue || !*value.uValue)
            return E_BADVALUE;
        name = value.uValue;
        return 0;
    }
    static double mutual(IFcircuit&, const Instance& m) { return m.mutual; }

    static constexpr auto parameters = parametertable<Instance>({
        settable<&setfirst>("inductor1", First, IF_INSTANCE, "First coupled inductor"),
        settable<&setsecond>("inductor2", Second, IF_INSTANCE, "Second coupled inductor"),
        field<&Instance::k, &Instance::kgiven>("k", Coupling, "Coupling factor"),
        computed<&mutual>("m", Mutual, "Mutual inductance").in("H"),
    });

    // The inductor of that name; fail() naming the coupling when there is none.
    static int findinductor(IFcircuit& ckt, const Instance& m, const std::string& name, IFinstance** found)
    {
        IFinstance* inductor = name.empty() ? nullptr : ckt.instancenames.find(name);
        if (!inductor)
            return fail(E_BADDEVICE, "mutual inductance %s: its inductor %s does not exist", m.name,
                name.empty() ? "(none given)" : name.c_str());
        if (!isinductor(*inductor))
            return fail(E_BADDEVICE, "mutual inductance %s: %s is no inductor", m.name, name.c_str());
        *found = inductor;
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& m, Hot& h)
    {
        if (int code = findinductor(ckt, m, m.first, &m.a))
            return code;
        if (int code = findinductor(ckt, m, m.second, &m.b))
            return code;
        if (m.a == m.b)
            return fail(
                E_BADDEVICE, "mutual inductance %s couples %s with itself", m.name, m.first.c_str());
        const int32_t a = inductorbranch(*m.a);
        const int32_t b = inductorbranch(*m.b);
        h.cells = { ckt.matrix.place(a, b), ckt.matrix.place(b, a) };
        couple(*m.a, *m.b, &m.mutual);
        return 0;
    }

    // M from the inductances of the run; the instance keeps it for the inductors' fluxes.
    static int check(IFcircuit& ckt, Instance& m, Hot& h)
    {
        if (!m.kgiven || !std::isfinite(m.k) || std::fabs(m.k) > 1)
            return fail(E_BADDEVICE, "mutual inductance %s needs a coupling factor between -1 and 1, not %g",
                m.name, m.k);
        const double product = inductance(ckt, *m.a) * inductance(ckt, *m.b);
        if (!(product >= 0))
            return fail(
                E_BADDEVICE, "mutual inductance %s couples inductances of opposite signs", m.name);
        m.mutual = h.mutual = m.k * std::sqrt(product);
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        if (!(ckt.mode & MODE_TRAN))
            return;
        double* a = ckt.matrix.stamps();
        const double slope = ckt.integration.slope();
        for (const Hot& m : list) {
            a[m.cells[0]] -= slope * m.mutual;
            a[m.cells[1]] -= slope * m.mutual;
        }
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& m)
    {
        double* imaginary = ckt.matrix.imaginary();
        imaginary[m.cells[0]] -= ckt.omega * m.mutual;
        imaginary[m.cells[1]] -= ckt.omega * m.mutual;
    }

    static void topology(Topology&, const Instance&, const Hot&) { }
};

} // namespace

extern const DeviceKind mutualkind;
constexpr DeviceKind mutualkind = devicekind<MutualInductance>("Mutual", "Mutual inductors", 0);

} // namespace nerith
