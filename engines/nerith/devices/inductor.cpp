#include "engines/nerith/devices/inductor.h"

#include "engines/nerith/devices/family.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nerith {

namespace {

constexpr int32_t Inductance = 1;
constexpr int32_t InitialCurrent = 2;
constexpr int32_t Current = 10;
constexpr int32_t Voltage = 11;

// A linear inductor with a branch equation for its current (positive from the positive terminal
// through the inductor), integrated by its flux: state phi = L i + the sum of M i over the inductors
// coupled to it, and its voltage phi'. A short in DC.
struct Inductor : LinearDevice {
    struct Instance;
    struct Coupling {
        const Instance* other;
        const double* mutual; // owned by the mutual inductance
    };

    struct Instance : IFinstance {
        double inductance;
        bool given = false;
        double ic;
        bool icgiven = false;
        int32_t pos = 0;
        int32_t neg = 0;
        int32_t branch = 0;
        int32_t state = 0; // flux; voltage at state + 1
        double history = 0; // the voltage's part that does not depend on the present flux
        double* posbranch = nullptr;
        double* negbranch = nullptr;
        double* branchpos = nullptr;
        double* branchneg = nullptr;
        double* branchbranch = nullptr;
        std::vector<Coupling> couplings;

        // The current the flux starts from: the initial current with UIC, else the solution's.
        double startcurrent(const double* x, bool uic) const { return uic && icgiven ? ic : x[branch]; }
        template <class Current> double flux(Current current) const
        {
            double phi = inductance * current(*this);
            for (const Coupling& c : couplings)
                phi += *c.mutual * current(*c.other);
            return phi;
        }
    };

    static double current(IFcircuit& ckt, const Instance& l)
    {
        return l.bound ? ckt.solution[static_cast<std::size_t>(l.branch)] : 0;
    }
    static double voltage(IFcircuit& ckt, const Instance& l)
    {
        return ckt.solution[static_cast<std::size_t>(l.pos)] - ckt.solution[static_cast<std::size_t>(l.neg)];
    }

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::inductance, &Instance::given>("inductance", Inductance, "Inductance").in("H"),
        field<&Instance::ic, &Instance::icgiven>("ic", InitialCurrent, "Initial current (with UIC)").in("A"),
        computed<&current>("i", Current, "Current").in("A"),
        computed<&voltage>("v", Voltage, "Voltage").in("V"),
    });

    static int check(IFcircuit&, Instance& l)
    {
        if (!l.given || !std::isfinite(l.inductance))
            return fail(E_BADDEVICE, "inductor %s has no finite inductance", l.name.c_str());
        if (l.icgiven && !std::isfinite(l.ic))
            return fail(E_BADDEVICE, "inductor %s has no finite initial current", l.name.c_str());
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& l)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(l, 2, nodes))
            return code;
        l.pos = nodes[0];
        l.neg = nodes[1];
        if ((l.state = ckt.models.allocstates(2)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", l.name.c_str());
        l.branch = ckt.addbranch(&l, l.name.c_str(), "branch");
        SparseMatrix& m = ckt.matrix;
        l.posbranch = m.element(l.pos, l.branch);
        l.negbranch = m.element(l.neg, l.branch);
        l.branchpos = m.element(l.branch, l.pos);
        l.branchneg = m.element(l.branch, l.neg);
        l.branchbranch = m.element(l.branch, l.branch);
        return 0;
    }

    static void unbind(Instance& l)
    {
        l.branch = 0;
        l.couplings.clear();
    }

    static void load(IFcircuit& ckt, std::deque<Instance>& list)
    {
        const bool transient = ckt.mode & MODE_TRAN;
        const double* x = ckt.solution.data();
        double* rhs = ckt.rhs.data();
        const double slope = ckt.integration.slope();
        const bool first = ckt.mode & MODE_INITTRAN;
        const bool uic = ckt.mode & MODE_UIC;
        for (Instance& l : list) {
            if (l.deleted)
                continue;
            *l.posbranch += 1;
            *l.negbranch -= 1;
            *l.branchpos += 1;
            *l.branchneg -= 1;
            if (!transient)
                continue;
            const auto phi = static_cast<std::size_t>(l.state);
            if (first) {
                ckt.states[1][phi] = l.flux([&](const Instance& i) { return i.startcurrent(x, uic); });
                ckt.states[1][phi + 1] = 0;
            }
            // v(pos) - v(neg) = slope L i + history
            l.history = history(ckt, l.state);
            *l.branchbranch -= slope * l.inductance;
            rhs[l.branch] += l.history;
        }
    }

    static void update(IFcircuit& ckt, std::deque<Instance>& list)
    {
        const double* x = ckt.solution.data();
        double* state = ckt.states[0].data();
        const double slope = ckt.integration.slope();
        for (Instance& l : list) {
            if (l.deleted)
                continue;
            const double phi = l.flux([&](const Instance& i) { return x[i.branch]; });
            state[l.state] = phi;
            state[l.state + 1] = slope * phi + l.history;
        }
    }

    static double truncation(IFcircuit& ckt, std::deque<Instance>& list, int32_t order)
    {
        TruncationTest test(ckt, order);
        if (!test.possible())
            return test.step();
        const double tolerance = ckt.options.vntol;
        for (const Instance& i : list) {
            if (!i.deleted)
                test.add(i.state, tolerance);
        }
        return test.step();
    }

    static void topology(Topology& topology, const Instance& l) { topology.conducts(l.pos, l.neg); }
};

} // namespace

extern const DeviceKind inductorkind;
constexpr DeviceKind inductorkind = devicekind<Inductor>("Inductor", "Inductor", 2);

bool isinductor(const IFinstance& instance)
{
    return devicekinds()[static_cast<std::size_t>(instance.type)] == &inductorkind;
}

double inductance(const IFinstance& inductor)
{
    return static_cast<const Inductor::Instance&>(inductor).inductance;
}

int32_t inductorbranch(const IFinstance& inductor)
{
    return static_cast<const Inductor::Instance&>(inductor).branch;
}

void couple(IFinstance& a, IFinstance& b, const double* mutual)
{
    auto& first = static_cast<Inductor::Instance&>(a);
    auto& second = static_cast<Inductor::Instance&>(b);
    first.couplings.push_back({ &second, mutual });
    second.couplings.push_back({ &first, mutual });
}

} // namespace nerith
