#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/waveform.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t SourceDc = 1;
constexpr int32_t SourceBranch = 20;
constexpr int32_t SourceCurrent = 21;
constexpr int32_t SourcePower = 22;

// An independent voltage source. Its branch current is positive when it flows into the positive
// terminal, through the source, out of the negative one.
struct Vsource : LinearDevice {
    struct Instance : IFinstance {
        double dc;
        bool dcgiven = false;
        Waveform wave;
        int32_t pos = 0;
        int32_t neg = 0;
        int32_t branch = 0;
        double* posbranch = nullptr;
        double* negbranch = nullptr;
        double* branchpos = nullptr;
        double* branchneg = nullptr;
    };

    // The branch exists from the first ask on, so probes can find it before the first run.
    static int32_t branch(IFcircuit& ckt, Instance& v)
    {
        if (v.branch == 0)
            v.branch = ckt.addbranch(&v, v.name.c_str(), "branch");
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
    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::dc, &Instance::dcgiven>("dc", SourceDc, "DC value").in("V"),
        waveform<&Instance::wave, Shape::Sine>("sine", SourceSine, "Sine source: VO VA FREQ TD THETA"),
        waveform<&Instance::wave, Shape::Pulse>("pulse", SourcePulse, "Pulse source: V1 V2 TD TR TF PW PER"),
        waveform<&Instance::wave, Shape::Exp>(
            "exp", SourceExp, "Exponential source: V1 V2 TD1 TAU1 TD2 TAU2"),
        waveform<&Instance::wave, Shape::Sffm>(
            "sffm", SourceSffm, "Single frequency FM source: VO VA FC MDI FS"),
        waveform<&Instance::wave, Shape::Pwl>("pwl", SourcePwl, "Piecewise linear source: T1 V1 T2 V2 ..."),
        computed<&branch>("branch", SourceBranch, "Branch equation"),
        computed<&current>("i", SourceCurrent, "Current").in("A"),
        computed<&power>("p", SourcePower, "Power delivered").in("W"),
    });

    static int check(IFcircuit&, Instance& v)
    {
        if (!std::isfinite(v.dc))
            return fail(E_BADDEVICE, "voltage source %s has no finite value", v.name.c_str());
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& v)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(v, 2, nodes))
            return code;
        v.pos = nodes[0];
        v.neg = nodes[1];
        const int32_t b = branch(ckt, v);
        SparseMatrix& m = ckt.matrix;
        v.posbranch = m.element(v.pos, b);
        v.negbranch = m.element(v.neg, b);
        v.branchpos = m.element(b, v.pos);
        v.branchneg = m.element(b, v.neg);
        return 0;
    }

    static void unbind(Instance& v) { v.branch = 0; }

    static void load(IFcircuit& ckt, std::deque<Instance>& list)
    {
        double* rhs = ckt.rhs.data();
        const double factor = ckt.srcfact;
        for (Instance& v : list) {
            if (v.deleted)
                continue;
            *v.posbranch += 1;
            *v.negbranch -= 1;
            *v.branchpos += 1;
            *v.branchneg -= 1;
            rhs[v.branch] += factor * sourcevalue(ckt, v.wave, v.dc, v.dcgiven);
        }
    }

    static void begin(IFcircuit& ckt, std::deque<Instance>& list)
    {
        for (Instance& v : list) {
            if (!v.deleted)
                startwaveform(ckt, v.wave);
        }
    }

    static void accept(IFcircuit& ckt, std::deque<Instance>& list)
    {
        for (const Instance& v : list) {
            if (!v.deleted)
                breakahead(ckt, v.wave);
        }
    }

    static void topology(Topology& topology, const Instance& v) { topology.fixes(v, v.pos, v.neg); }
};

} // namespace

extern const DeviceKind vsourcekind;
constexpr DeviceKind vsourcekind = devicekind<Vsource>("Vsource", "Independent voltage source", 2);

} // namespace nerith
