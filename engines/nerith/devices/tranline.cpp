#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/linebranches.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nerith {

namespace {

enum : int32_t {
    Impedance = 1,
    ImpedanceAlias,
    Delay,
    Frequency,
    Length,
    InitialV1,
    InitialI1,
    InitialV2,
    InitialI2,
    InitialValues,
    RelativeBreak,
    AbsoluteBreak,
};

// The waves that left a line's two ports at the accepted time points, as far back as the delay
// reaches, read between the points by quadratic interpolation.
class WaveHistory {
public:
    // Forgets the points; until one is added the waves are `past`.
    void reset(const Waves& past)
    {
        points.clear();
        first = 0;
        before = past;
    }

    bool empty() const { return first == points.size(); }

    // The waves at `t`; before the first point those of the first, after the last those of the last.
    Waves at(double t) const
    {
        if (empty())
            return before;
        const auto begin = points.begin() + static_cast<std::ptrdiff_t>(first);
        if (t <= begin->time)
            return begin->waves;
        if (t >= points.back().time)
            return points.back().waves;
        const auto after = std::upper_bound(
            begin, points.end(), t, [](double time, const Point& p) { return time < p.time; });
        const std::size_t i = static_cast<std::size_t>(after - points.begin()) - 1;
        return interpolate(i, t);
    }

    // Adds the point at `time` and forgets those older than `keepafter` but the two before it,
    // which interpolation near it reads. A point at the time of the last replaces it.
    void add(double time, const Waves& waves, double keepafter)
    {
        if (!empty() && time <= points.back().time)
            points.back() = { time, waves };
        else
            points.push_back({ time, waves });
        first += outdated(live(), keepafter);
        if (first > 64 && first > points.size() / 2) {
            points.erase(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(first));
            first = 0;
        }
    }

    struct Point {
        double time;
        Waves waves;
    };

    // The points still kept.
    std::span<const Point> live() const { return std::span<const Point>(points).subspan(first); }

    // The time of the point before the last.
    double middle() const { return points[points.size() - 2].time; }

private:
    // In the interval from point i: the quadratic through its ends and the neighbour on the side
    // where the wave bends less, so that a corner at a point stays sharp.
    Waves interpolate(std::size_t i, double t) const
    {
        const Point& p = points[i];
        const Point& q = points[i + 1];
        Waves result {};
        for (std::size_t k = 0; k < 2; ++k) {
            const double slope = (q.waves[k] - p.waves[k]) / (q.time - p.time);
            double bend = 0;
            bool found = false;
            auto consider = [&](double second) {
                if (!found || std::fabs(second) < std::fabs(bend))
                    bend = second;
                found = true;
            };
            if (i > first) {
                const Point& o = points[i - 1];
                consider((slope - (p.waves[k] - o.waves[k]) / (p.time - o.time)) / (q.time - o.time));
            }
            if (i + 2 < points.size()) {
                const Point& r = points[i + 2];
                consider(((r.waves[k] - q.waves[k]) / (r.time - q.time) - slope) / (r.time - p.time));
            }
            result[k] = p.waves[k] + slope * (t - p.time) + bend * (t - p.time) * (t - q.time);
        }
        return result;
    }

    std::vector<Point> points;
    std::size_t first = 0; // the points before it are forgotten
    Waves before {};
};

// The lossless transmission line between two ports (pos1, neg1) and (pos2, neg2), each with a
// branch for the current into its positive terminal: a port's voltage is Z0 times its current plus
// the wave that left the other port TD earlier, V1(t) = Z0 I1(t) + (V2 + Z0 I2)(t - TD). In DC the
// waves are those of the present; in AC they are delayed by the phase w TD.
struct Tranline : LinearDevice {
    struct Instance;
    struct Hot : LinePorts {
        Instance* line;
        double z0;
        double td;
    };

    struct Instance : Bindable<Hot> {
        double z0, td, f, nl;
        bool z0given = false, tdgiven = false, fgiven = false;
        double v1, i1, v2, i2; // of the ports at the start of a run with UIC
        double relative, absolute;
        WaveHistory waves;
        int32_t branches[2] {};
    };

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::z0, &Instance::z0given>("z0", Impedance, "Characteristic impedance").in("ohm"),
        field<&Instance::z0, &Instance::z0given>("zo", ImpedanceAlias, "Characteristic impedance").in("ohm"),
        field<&Instance::td, &Instance::tdgiven>("td", Delay, "Transmission delay").in("s"),
        field<&Instance::f, &Instance::fgiven>(
            "f", Frequency, "Frequency at which the line is NL wavelengths long")
            .in("Hz"),
        field<&Instance::nl>("nl", Length, "Length in wavelengths at F").initially(0.25),
        field<&Instance::v1>("v1", InitialV1, "Initial voltage at port 1").in("V"),
        field<&Instance::i1>("i1", InitialI1, "Initial current into port 1").in("A"),
        field<&Instance::v2>("v2", InitialV2, "Initial voltage at port 2").in("V"),
        field<&Instance::i2>("i2", InitialI2, "Initial current into port 2").in("A"),
        settable<&setlinestart<Instance>>("ic", InitialValues, IF_REAL | IF_VECTOR, "Initial V1 I1 V2 I2"),
        field<&Instance::relative>("rel", RelativeBreak, "Relative change of a wave's slope that is a corner")
            .initially(1),
        field<&Instance::absolute>("abs", AbsoluteBreak, "Change of a wave's slope that is a corner")
            .in("V/s")
            .initially(1),
    });

    static int bind(IFcircuit& ckt, Instance& t, Hot& h)
    {
        h.line = &t;
        return bindline(ckt, t, t.branches, h);
    }

    static int check(IFcircuit&, const Instance& t, Hot& h)
    {
        if (!t.z0given || !std::isfinite(t.z0) || t.z0 <= 0)
            return fail(E_BADDEVICE, "transmission line %s needs a characteristic impedance Z0 above 0",
                t.name);
        const double td = t.tdgiven ? t.td : t.fgiven && t.f > 0 ? t.nl / t.f : 0;
        if (!std::isfinite(td) || td <= 0)
            return fail(
                E_BADDEVICE, "transmission line %s needs a delay above 0: TD, or F and NL", t.name);
        if (!(t.relative >= 0) || !(t.absolute >= 0))
            return fail(E_BADDEVICE, "transmission line %s: REL and ABS must not be below 0", t.name);
        h.z0 = t.z0;
        h.td = td;
        return 0;
    }

    static void unbind(Instance& t) { t.branches[0] = t.branches[1] = 0; }

    // The waves leaving the ports in the solution x: V1 + Z0 I1 and V2 + Z0 I2.
    static Waves leaving(const double* x, const Hot& h)
    {
        return { x[h.ports[0]] - x[h.ports[1]] + h.z0 * x[h.branches[0]],
            x[h.ports[2]] - x[h.ports[3]] + h.z0 * x[h.branches[1]] };
    }

    // A point's waves, as the step control and the corner test read them.
    static Waves wavesof(const WaveHistory::Point& p) { return p.waves; }

    // The port equations; `far` is the factor on the other port's present wave: 1 in DC, 0 in a
    // transient, whose delayed wave goes to the right-hand side.
    static void stamp(double* a, const Hot& h, double far)
    {
        stampincidence(a, h);
        const auto& c = h.cells;
        a[c[Br1Pos1]] += 1;
        a[c[Br1Neg1]] -= 1;
        a[c[Br1Br1]] -= h.z0;
        a[c[Br2Pos2]] += 1;
        a[c[Br2Neg2]] -= 1;
        a[c[Br2Br2]] -= h.z0;
        a[c[Br1Pos2]] -= far;
        a[c[Br1Neg2]] += far;
        a[c[Br1Br2]] -= far * h.z0;
        a[c[Br2Pos1]] -= far;
        a[c[Br2Neg1]] += far;
        a[c[Br2Br1]] -= far * h.z0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* a = ckt.matrix.stamps();
        if (!(ckt.mode & MODE_TRAN)) {
            for (const Hot& h : list)
                stamp(a, h, 1);
            return;
        }
        for (const Hot& h : list) {
            stamp(a, h, 0);
            const Waves arriving = h.line->waves.at(ckt.time - h.td);
            // Port 1 receives what left port 2, and port 2 what left port 1.
            ckt.rhs[static_cast<std::size_t>(h.branches[0])] += arriving[1];
            ckt.rhs[static_cast<std::size_t>(h.branches[1])] += arriving[0];
        }
    }

    // Before the first point the waves are those of the initial values.
    static void begin(IFcircuit&, std::span<Hot> list)
    {
        for (const Hot& h : list) {
            const Instance& t = *h.line;
            h.line->waves.reset({ t.v1 + h.z0 * t.i1, t.v2 + h.z0 * t.i2 });
        }
    }

    // A wave must have left before it arrives: no step longer than the delay. Where the arriving
    // waves bend, the step keeps a straight line through them within the voltage tolerances, so
    // that the far port follows a wave as closely as the near one was solved.
    static void limitstep(IFcircuit& ckt, std::span<const Hot> list, double& step)
    {
        for (const Hot& h : list) {
            step = std::min(step, h.td);
            step = std::min(step,
                bendstep(h.line->waves.live(), ckt.time - h.td, ckt.time - h.td + step, 1, ckt.options.reltol,
                    ckt.options.vntol, wavesof));
        }
    }

    static void accept(IFcircuit& ckt, std::span<const Hot> list)
    {
        for (const Hot& h : list) {
            Instance& t = *h.line;
            t.waves.add(ckt.time, leaving(ckt.solution.data(), h), ckt.time - h.td);
            if (wavecorner(t.waves.live(), t.relative, t.absolute, wavesof))
                addbreak(ckt, t.waves.middle() + h.td);
        }
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& h)
    {
        double* a = ckt.matrix.stamps();
        double* b = ckt.matrix.imaginary();
        stamp(a, h, 0);
        // The other port's wave, delayed by the phase w TD: a factor cos - j sin.
        const double re = std::cos(ckt.omega * h.td);
        const double im = -std::sin(ckt.omega * h.td);
        const auto& c = h.cells;
        for (const auto& [pos, neg, branch] :
            { std::array { Br1Pos2, Br1Neg2, Br1Br2 }, std::array { Br2Pos1, Br2Neg1, Br2Br1 } }) {
            a[c[pos]] -= re;
            b[c[pos]] -= im;
            a[c[neg]] += re;
            b[c[neg]] += im;
            a[c[branch]] -= re * h.z0;
            b[c[branch]] -= im * h.z0;
        }
    }

    static void topology(Topology& topology, const Instance& t, const Hot& h)
    {
        topology.fixes(t, h.ports[0], h.ports[1]);
        topology.fixes(t, h.ports[2], h.ports[3]);
    }
};

} // namespace

extern const DeviceKind tranlinekind;
constexpr DeviceKind tranlinekind = devicekind<Tranline>("Tranline", "Lossless transmission line", 4);

} // namespace nerith
