#include "engines/nerith/devices/inductor.h"

#include "engines/nerith/devices/coefficients.h"
#include "engines/nerith/devices/family.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nerith {

namespace {

constexpr int32_t Inductance = 1;
constexpr int32_t InitialCurrent = 2;
constexpr int32_t Temperature = 3;
constexpr int32_t Current = 10;
constexpr int32_t Voltage = 11;

// A linear inductor with a branch equation for its current (positive from the positive terminal
// through the inductor), integrated by its flux: state phi = L i + the sum of M i over the inductors
// coupled to it, and its voltage phi'. A short in DC.
struct Inductor : LinearDevice {
    using Model = CoefficientModel;
    static constexpr auto modelparameters = coefficientmodelparameters(1);

    struct Instance;
    struct Coupling {
        const Instance* other;
        const double* mutual; // owned by the mutual inductance
    };

    // Cells: the branch's incidence (pos-branch, neg-branch, branch-pos, branch-neg), then
    // branch-branch.
    enum : std::size_t { PosBranch, NegBranch, BranchPos, BranchNeg, BranchBranch };

    struct Hot {
        double inductance;
        double history; // the voltage's part that does not depend on the present flux
        double ic; // the initial current with UIC; no number when none is given
        int32_t branch;
        int32_t state; // flux; voltage at state + 1
        std::array<int32_t, 5> cells;
        const Coupling* couplings; // the instance's; few inductors have any
        std::size_t coupled;

        // The flux at the branch currents that `current` gives by instance.
        template <class Current> double flux(const Current& current) const;
    };

    struct Instance : Bindable<Hot> {
        double inductance;
        bool given = false;
        double ic;
        bool icgiven = false;
        int32_t pos = 0;
        int32_t neg = 0;
        int32_t branch = 0;
        std::vector<Coupling> couplings;
        std::unique_ptr<Coefficients> coefficients;
    };

    // M copies in parallel: the inductance over M.
    static double effective(const IFcircuit& ckt, const Instance& l)
    {
        const Coefficients* k = l.coefficients.get();
        return l.inductance * temperaturefactor(ckt, k, *l.model) / multiplier(k);
    }

    static double current(IFcircuit& ckt, const Instance& l)
    {
        return l.bound ? ckt.solution[static_cast<std::size_t>(l.branch)] : 0;
    }
    static double voltage(IFcircuit& ckt, const Instance& l)
    {
        return ckt.solution[static_cast<std::size_t>(l.pos)] - ckt.solution[static_cast<std::size_t>(l.neg)];
    }

    static constexpr auto parameters = parametertable<Instance>(
        {
            field<&Instance::inductance, &Instance::given>("inductance", Inductance, "Inductance").in("H"),
            field<&Instance::ic, &Instance::icgiven>("ic", InitialCurrent, "Initial current (with UIC)")
                .in("A"),
            computed<&current>("i", Current, "Current").in("A"),
            computed<&voltage>("v", Voltage, "Voltage").in("V"),
        },
        coefficientrows<Instance>(Temperature));

    static int bind(IFcircuit& ckt, Instance& l, Hot& h)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(ckt, l, 2, nodes))
            return code;
        l.pos = nodes[0];
        l.neg = nodes[1];
        if ((h.state = ckt.models.allocstates(2)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", l.name);
        l.branch = h.branch = ckt.addbranch(&l, l.name, "branch");
        h.couplings = nullptr;
        h.coupled = 0;
        SparseMatrix& m = ckt.matrix;
        h.cells = { m.place(l.pos, l.branch), m.place(l.neg, l.branch), m.place(l.branch, l.pos),
            m.place(l.branch, l.neg), m.place(l.branch, l.branch) };
        return 0;
    }

    static int check(IFcircuit& ckt, const Instance& l, Hot& h)
    {
        h.inductance = effective(ckt, l);
        if (!l.given || !std::isfinite(h.inductance))
            return fail(E_BADDEVICE, "inductor %s has no finite inductance", l.name);
        if (l.icgiven && !std::isfinite(l.ic))
            return fail(E_BADDEVICE, "inductor %s has no finite initial current", l.name);
        h.ic = l.icgiven ? l.ic : std::nan("");
        return 0;
    }

    static void unbind(Instance& l)
    {
        l.branch = 0;
        l.couplings.clear();
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const bool transient = ckt.mode & MODE_TRAN;
        const double* x = ckt.solution.data();
        double* rhs = ckt.rhs.data();
        double* a = ckt.matrix.stamps();
        const double slope = ckt.integration.slope();
        const bool first = ckt.mode & MODE_INITTRAN;
        const bool uic = ckt.mode & MODE_UIC;
        for (Hot& l : list) {
            a[l.cells[PosBranch]] += 1;
            a[l.cells[NegBranch]] -= 1;
            a[l.cells[BranchPos]] += 1;
            a[l.cells[BranchNeg]] -= 1;
            if (!transient)
                continue;
            const auto phi = static_cast<std::size_t>(l.state);
            if (first) {
                // The flux starts from each inductor's initial current with UIC, else its solution's.
                ckt.states[1][phi]
                    = l.flux([&](const Hot& i) { return uic && !std::isnan(i.ic) ? i.ic : x[i.branch]; });
                ckt.states[1][phi + 1] = 0;
            }
            // v(pos) - v(neg) = slope L i + history
            l.history = history(ckt, l.state);
            a[l.cells[BranchBranch]] -= slope * l.inductance;
            rhs[l.branch] += l.history;
        }
    }

    static void settle(IFcircuit& ckt, std::span<Hot> list, TruncationTest* test)
    {
        const double* x = ckt.solution.data();
        double* state = ckt.states[0].data();
        const double slope = ckt.integration.slope();
        const double tolerance = ckt.options.vntol;
        for (const Hot& l : list) {
            const double phi = l.flux([&](const Hot& i) { return x[i.branch]; });
            state[l.state] = phi;
            state[l.state + 1] = slope * phi + l.history;
            if (test)
                test->add(l.state, tolerance);
        }
    }

    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        const double tolerance = ckt.options.vntol;
        for (const Hot& l : list)
            test.add(l.state, tolerance);
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& h)
    {
        double* a = ckt.matrix.stamps();
        a[h.cells[PosBranch]] += 1;
        a[h.cells[NegBranch]] -= 1;
        a[h.cells[BranchPos]] += 1;
        a[h.cells[BranchNeg]] -= 1;
        ckt.matrix.imaginary()[h.cells[BranchBranch]] -= ckt.omega * h.inductance;
    }

    static void topology(Topology& topology, const Instance& l, const Hot&)
    {
        topology.conducts(l.pos, l.neg);
    }
};

template <class Current> double Inductor::Hot::flux(const Current& current) const
{
    double phi = inductance * current(*this);
    for (std::size_t k = 0; k < coupled; ++k)
        phi += *couplings[k].mutual * current(*couplings[k].other->hot);
    return phi;
}

} // namespace

extern const DeviceKind inductorkind;
constexpr DeviceKind inductorkind = devicekind<Inductor>("Inductor", "Inductor", 2);

bool isinductor(const IFinstance& instance)
{
    return devicekinds()[static_cast<std::size_t>(instance.type)] == &inductorkind;
}

double inductance(const IFcircuit& ckt, const IFinstance& inductor)
{
    return Inductor::effective(ckt, static_cast<const Inductor::Instance&>(inductor));
}

int32_t inductorbranch(const IFinstance& inductor)
{
    return static_cast<const Inductor::Instance&>(inductor).branch;
}

void couple(IFinstance& a, IFinstance& b, const double* mutual)
{
    auto& first = static_cast<Inductor::Instance&>(a);
    auto& second = static_cast<Inductor::Instance&>(b);
    for (auto [one, other] : { std::pair(&first, &second), std::pair(&second, &first) }) {
        one->couplings.push_back({ other, mutual });
        one->hot->couplings = one->couplings.data();
        one->hot->coupled = one->couplings.size();
    }
}

} // namespace nerith
