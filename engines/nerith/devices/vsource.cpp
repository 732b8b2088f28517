#include "engines/nerith/devices/acinputs.h"
#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/waveform.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t SourceDc = 1;
constexpr int32_t SourceAc = 7;
constexpr int32_t SourceBranch = 20;
constexpr int32_t SourceCurrent = 21;
constexpr int32_t SourcePower = 22;

// An independent voltage source. Its branch current is positive when it flows into the positive
// terminal, through the source, out of the negative one.
struct Vsource : LinearDevice {
    // Cells: pos-branch, neg-branch, branch-pos, branch-neg.
    struct Hot {
        Waveform* wave;
        double dc;
        bool dcgiven;
        int32_t branch;
        std::array<int32_t, 4> cells;
    };

    struct Instance : Bindable<Hot> {
        double dc;
        bool dcgiven = false;
        Waveform wave;
        SourceInputs inputs;
        int32_t pos = 0;
        int32_t neg = 0;
        int32_t branch = 0;
    };

    // The branch exists from the first ask on, so probes can find it before the first run.
    static int32_t branch(IFcircuit& ckt, Instance& v)
    {
        if (v.branch == 0)
            v.branch = ckt.addbranch(&v, v.name, "branch");
        return v.branch;
    }

    static double current(IFcircuit& ckt, const Instance& v)
    {
        return v.bound ? ckt.solution[static_cast<std::size_t>(v.branch)] : 0;
    }
    static double power(IFcircuit& ckt, const Instance& v)
    {
        const auto& x = ckt.solution;
        return -(x[static_cast<std::size_t>(v.pos)] - x[static_cast<std::size_t>(v.neg)]) * current(ckt, v);
    }

    using Shape = Waveform::Shape;
    static constexpr auto parameters = parametertable<Instance>(
        {
            field<&Instance::dc, &Instance::dcgiven>("dc", SourceDc, "DC value").in("V"),
            waveform<&Instance::wave, Shape::Sine>("sine", SourceSine, "Sine source: VO VA FREQ TD THETA"),
            waveform<&Instance::wave, Shape::Pulse>(
                "pulse", SourcePulse, "Pulse source: V1 V2 TD TR TF PW PER"),
            waveform<&Instance::wave, Shape::Exp>(
                "exp", SourceExp, "Exponential source: V1 V2 TD1 TAU1 TD2 TAU2"),
            waveform<&Instance::wave, Shape::Sffm>(
                "sffm", SourceSffm, "Single frequency FM source: VO VA FC MDI FS"),
            waveform<&Instance::wave, Shape::Pwl>(
                "pwl", SourcePwl, "Piecewise linear source: T1 V1 T2 V2 ..."),
            pwldelay<&Instance::wave>(),
            pwlrepeat<&Instance::wave>(),
            computed<&branch>("branch", SourceBranch, "Branch equation"),
            computed<&current>("i", SourceCurrent, "Current").in("A"),
            computed<&power>("p", SourcePower, "Power delivered").in("W"),
        },
        inputrows<Instance>(SourceAc, "V"));

    static int bind(IFcircuit& ckt, Instance& v, Hot& h)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(ckt, v, 2, nodes))
            return code;
        v.pos = nodes[0];
        v.neg = nodes[1];
        h.branch = branch(ckt, v);
        h.wave = &v.wave;
        SparseMatrix& m = ckt.matrix;
        h.cells = { m.place(v.pos, h.branch), m.place(v.neg, h.branch), m.place(h.branch, v.pos),
            m.place(h.branch, v.neg) };
        return 0;
    }

    static int check(IFcircuit&, const Instance& v, Hot& h)
    {
        if (!std::isfinite(v.dc))
            return fail(E_BADDEVICE, "voltage source %s has no finite value", v.name);
        h.dc = v.dc;
        h.dcgiven = v.dcgiven;
        return 0;
    }

    static void unbind(Instance& v) { v.branch = 0; }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* rhs = ckt.rhs.data();
        double* a = ckt.matrix.stamps();
        const double factor = ckt.srcfact;
        for (const Hot& v : list) {
            a[v.cells[0]] += 1;
            a[v.cells[1]] -= 1;
            a[v.cells[2]] += 1;
            a[v.cells[3]] -= 1;
            rhs[v.branch] += factor * sourcevalue(ckt, *v.wave, v.dc, v.dcgiven);
        }
    }

    static void acload(IFcircuit& ckt, const Instance& v, const Hot& h)
    {
        double* a = ckt.matrix.stamps();
        a[h.cells[0]] += 1;
        a[h.cells[1]] -= 1;
        a[h.cells[2]] += 1;
        a[h.cells[3]] -= 1;
        const IFcomplex value = excitation(ckt, v, v.inputs);
        ckt.rhs[static_cast<std::size_t>(h.branch)] += value.real;
        ckt.irhs[static_cast<std::size_t>(h.branch)] += value.imag;
    }

    static void begin(IFcircuit& ckt, std::span<Hot> list)
    {
        for (const Hot& v : list)
            startwaveform(ckt, *v.wave);
    }

    static void accept(IFcircuit& ckt, std::span<const Hot> list)
    {
        for (const Hot& v : list)
            breakahead(ckt, *v.wave);
    }

    static void topology(Topology& topology, const Instance& v, const Hot&)
    {
        topology.fixes(v, v.pos, v.neg);
    }
};

} // namespace

extern const DeviceKind vsourcekind;
constexpr DeviceKind vsourcekind = devicekind<Vsource>("Vsource", "Independent voltage source", 2);

} // namespace nerith
