#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/linebranches.h"
#include "engines/nerith/devices/ltrakernels.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <optional>
#include <vector>

namespace nerith {

namespace {

enum : int32_t {
    InitialV1 = 1,
    InitialI1,
    InitialV2,
    InitialI2,
    InitialValues,
};

enum : int32_t {
    Resistance = 1,
    Inductance,
    Conductance,
    Capacitance,
    Length,
    RelativeBreak,
    AbsoluteBreak,
    NoStepLimit,
    NoControl,
    LinearInterpolation,
    QuadraticInterpolation,
    MixedInterpolation,
    CompactRelative,
    CompactAbsolute,
    TruncateNewton,
    TruncateDontCut,
    ModelFlag,
};

// The line's case by which of R, L, G and C it has.
enum class Case { Rlc, Rc, Rg, Lc };

// The ports' voltages and currents at an accepted time point.
struct Sample {
    double time;
    std::array<double, 2> v, i;
};

// The lossy transmission line between two ports (pos1, neg1) and (pos2, neg2) of length LEN, each
// port with a branch for the current into its positive terminal. A line with R, L and C (LC
// without loss), or with R and C, convolves the ports' past with its impulse responses; one with
// only R and G is a resistive two-port; small-signal, any line is its exact frequency-domain
// two-port.
struct Ltra {
    static constexpr bool Linear = true;

    struct Model : IFmodel {
        double r, l, g, c, len;
        bool lengiven = false;
        double relative, absolute;
        bool nosteplimit = false, nocontrol = false;
        bool lininterp = false, quadinterp = false, mixedinterp = false;
        double compactrel, compactabs;
        bool truncnr = false, truncdontcut = false;
        bool flag = false;
    };

    struct Instance;
    struct Hot : LinePorts {
        Instance* line;
    };

    // The port equations at one time, I1 = self V1 - mutualv V2 - mutuali I2 + rhs[0] and port 2
    // alike: the factors on the present values and what the past contributes.
    struct Convolution {
        double time = -1;
        std::size_t samples = 0;
        double self = 0, mutualv = 0, mutuali = 0;
        std::array<double, 2> rhs {};
    };

    struct Instance : Bindable<Hot> {
        double v1, i1, v2, i2; // of the ports at the start of a run with UIC
        Case kind = Case::Rlc;
        std::optional<ltra::RlcKernels> kernels;
        std::optional<ltra::RcKernels> rckernels;
        double resistance = 0; // R LEN: the DC resistance of an RLC line
        double rgself = 0, rgmutual = 0; // an RG line's port conductances
        std::vector<Sample> history;
        std::size_t forgotten = 0; // samples dropped from the front of the history
        Convolution cached;
        int32_t branches[2] {};
    };

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::v1>("v1", InitialV1, "Initial voltage at port 1").in("V"),
        field<&Instance::i1>("i1", InitialI1, "Initial current into port 1").in("A"),
        field<&Instance::v2>("v2", InitialV2, "Initial voltage at port 2").in("V"),
        field<&Instance::i2>("i2", InitialI2, "Initial current into port 2").in("A"),
        settable<&setlinestart<Instance>>("ic", InitialValues, IF_REAL | IF_VECTOR, "Initial V1 I1 V2 I2"),
    });

    static constexpr auto modelparameters = parametertable<Model>({
        field<&Model::r>("r", Resistance, "Resistance per length").in("ohm/m"),
        field<&Model::l>("l", Inductance, "Inductance per length").in("H/m"),
        field<&Model::g>("g", Conductance, "Conductance per length").in("S/m"),
        field<&Model::c>("c", Capacitance, "Capacitance per length").in("F/m"),
        field<&Model::len, &Model::lengiven>("len", Length, "Length of the line").in("m"),
        field<&Model::relative>("rel", RelativeBreak, "Relative change of a wave's slope that is a corner")
            .initially(1),
        field<&Model::absolute>("abs", AbsoluteBreak, "Change of a wave's slope that is a corner")
            .in("V/s")
            .initially(1),
        field<&Model::nosteplimit>("nosteplimit", NoStepLimit, "Steps may be longer than the delay"),
        field<&Model::nocontrol>("nocontrol", NoControl, "No step control by the arriving waves"),
        field<&Model::lininterp>("lininterp", LinearInterpolation, "Linear interpolation of the past"),
        field<&Model::quadinterp>(
            "quadinterp", QuadraticInterpolation, "Quadratic interpolation of the past"),
        field<&Model::mixedinterp>("mixedinterp", MixedInterpolation,
            "Quadratic interpolation of the past, linear where it overshoots"),
        field<&Model::compactrel>("compactrel", CompactRelative, "Relative tolerance of compacting the past"),
        field<&Model::compactabs>("compactabs", CompactAbsolute, "Absolute tolerance of compacting the past"),
        field<&Model::truncnr>("truncnr", TruncateNewton, "Newton's method in the step control"),
        field<&Model::truncdontcut>(
            "truncdontcut", TruncateDontCut, "No cut of the step by the delay's control"),
        field<&Model::flag>("ltra", ModelFlag, "Lossy transmission line model"),
    });

    static const Model& model(const Instance& t) { return static_cast<const Model&>(*t.model); }

    static int bind(IFcircuit& ckt, Instance& t, Hot& h)
    {
        h.line = &t;
        return bindline(ckt, t, t.branches, h);
    }

    static int check(IFcircuit&, Instance& t, Hot&)
    {
        const Model& m = model(t);
        for (double value : { m.r, m.l, m.g, m.c }) {
            if (!std::isfinite(value) || value < 0)
                return fail(E_BADDEVICE, "lossy line %s: R, L, G and C of model %s must not be below 0",
                    t.name, m.name.c_str());
        }
        if (!m.lengiven || !std::isfinite(m.len) || m.len <= 0)
            return fail(E_BADDEVICE, "lossy line %s needs a length LEN above 0 in model %s", t.name,
                m.name.c_str());
        if (!(m.relative >= 0) || !(m.absolute >= 0))
            return fail(E_BADDEVICE, "lossy line %s: REL and ABS must not be below 0", t.name);
        const bool r = m.r > 0, l = m.l > 0, g = m.g > 0, c = m.c > 0;
        if (r && l && c && !g) {
            t.kind = Case::Rlc;
        } else if (l && c && !r && !g) {
            t.kind = Case::Lc;
        } else if (r && g && !l && !c) {
            t.kind = Case::Rg;
        } else if (r && c && !l && !g) {
            t.kind = Case::Rc;
        } else {
            return fail(E_BADDEVICE,
                "lossy line %s: model %s has no case the line handles (RLC, RC, RG or LC, of the values "
                "above 0 among R, L, G and C)",
                t.name, m.name.c_str());
        }
        t.resistance = m.r * m.len;
        if (t.kind == Case::Rg) {
            const double z0 = std::sqrt(m.r / m.g);
            const double theta = std::sqrt(m.r * m.g) * m.len;
            t.rgself = 1 / (z0 * std::tanh(theta));
            t.rgmutual = 1 / (z0 * std::sinh(theta));
            t.kernels.reset();
        } else if (t.kind == Case::Rc) {
            t.rckernels.emplace(std::sqrt(m.c / m.r), m.len * std::sqrt(m.r * m.c));
        } else {
            t.kernels.emplace(std::sqrt(m.c / m.l), m.r / (2 * m.l), m.len * std::sqrt(m.l * m.c));
        }
        return 0;
    }

    static void unbind(Instance& t) { t.branches[0] = t.branches[1] = 0; }

    // The KCL incidence of the branches, and on each branch row its own current.
    static void stampbranches(double* a, const Hot& h)
    {
        stampincidence(a, h);
        const auto& c = h.cells;
        a[c[Br1Br1]] += 1;
        a[c[Br2Br2]] += 1;
    }

    // On each branch row I = self V - mutual V of the other port, in the values `a` (the real or
    // the imaginary parts).
    static void stampadmittances(double* a, const Hot& h, double self, double mutual)
    {
        const auto& c = h.cells;
        a[c[Br1Pos1]] -= self;
        a[c[Br1Neg1]] += self;
        a[c[Br1Pos2]] += mutual;
        a[c[Br1Neg2]] -= mutual;
        a[c[Br2Pos2]] -= self;
        a[c[Br2Neg2]] += self;
        a[c[Br2Pos1]] += mutual;
        a[c[Br2Neg1]] -= mutual;
    }

    // DC: a line without shunt conductance is R LEN between the positive terminals
    // (V1 - V2 = R LEN I1) that passes its current on (I1 + I2 = 0).
    static void stampdc(double* a, const Hot& h, const Instance& t)
    {
        stampincidence(a, h);
        const auto& c = h.cells;
        a[c[Br1Pos1]] += 1;
        a[c[Br1Neg1]] -= 1;
        a[c[Br1Pos2]] -= 1;
        a[c[Br1Neg2]] += 1;
        a[c[Br1Br1]] -= t.resistance;
        a[c[Br2Br1]] += 1;
        a[c[Br2Br2]] += 1;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* a = ckt.matrix.stamps();
        for (const Hot& h : list) {
            Instance& t = *h.line;
            if (t.kind == Case::Rg) {
                stampbranches(a, h);
                stampadmittances(a, h, t.rgself, t.rgmutual);
            } else if (!(ckt.mode & MODE_TRAN)) {
                stampdc(a, h, t);
            } else {
                const Convolution& past = convolution(t, ckt.time);
                stampbranches(a, h);
                stampadmittances(a, h, past.self, past.mutualv);
                a[h.cells[Br1Br2]] += past.mutuali;
                a[h.cells[Br2Br1]] += past.mutuali;
                ckt.rhs[static_cast<std::size_t>(h.branches[0])] += past.rhs[0];
                ckt.rhs[static_cast<std::size_t>(h.branches[1])] += past.rhs[1];
            }
        }
    }

    // The ports' values at `time`, between the samples by the model's interpolation: quadratic
    // unless LININTERP, and with MIXEDINTERP linear where the quadratic leaves the range of the
    // samples around. Before the first sample they are its values, after the last the last's.
    static Sample at(const Instance& t, std::span<const Sample> samples, double time)
    {
        if (time <= samples.front().time)
            return samples.front();
        if (time >= samples.back().time)
            return samples.back();
        const auto after = std::upper_bound(
            samples.begin(), samples.end(), time, [](double x, const Sample& s) { return x < s.time; });
        const std::size_t j = static_cast<std::size_t>(after - samples.begin());
        const Sample& p = samples[j - 1];
        const Sample& q = samples[j];
        const double share = (time - p.time) / (q.time - p.time);
        const Model& m = model(t);
        const bool quadratic = !m.lininterp && samples.size() >= 3;
        // The third sample: the one after q, or before p at the end.
        const Sample& o = j + 1 < samples.size() ? samples[j + 1] : samples[j - 2];
        auto value = [&](double pv, double qv, double ov) {
            const double linear = pv + share * (qv - pv);
            if (!quadratic)
                return linear;
            const double lp = (time - q.time) * (time - o.time) / ((p.time - q.time) * (p.time - o.time));
            const double lq = (time - p.time) * (time - o.time) / ((q.time - p.time) * (q.time - o.time));
            const double lo = (time - p.time) * (time - q.time) / ((o.time - p.time) * (o.time - q.time));
            const double curved = pv * lp + qv * lq + ov * lo;
            if (m.mixedinterp && (curved > std::max(pv, qv) || curved < std::min(pv, qv)))
                return linear;
            return curved;
        };
        Sample s { time, {}, {} };
        for (std::size_t k = 0; k < 2; ++k) {
            s.v[k] = value(p.v[k], q.v[k], o.v[k]);
            s.i[k] = value(p.i[k], q.i[k], o.i[k]);
        }
        return s;
    }

    // The past's share of the port equations at `time`, worked out once a time point:
    //   I1 - (Y0 + own) V1 = (y's tail * V1 but the present) - e^-aT (Y0 V2 + I2)(t - T)
    //                        - h3's tail * V2 - h2's tail * I2,
    // and port 2 alike. The ports' values are straight between the samples and, before the first,
    // its values; y's tail is integrated exactly, those of h2 and h3 by Simpson's rule.
    static const Convolution& convolution(Instance& t, double time)
    {
        Convolution& out = t.cached;
        const std::size_t accepted = t.history.size() + t.forgotten;
        if (out.time == time && out.samples == accepted)
            return out;
        const Sample start { time, { t.v1, t.v2 }, { t.i1, t.i2 } };
        const std::span<const Sample> samples
            = t.history.empty() ? std::span<const Sample>(&start, 1) : std::span<const Sample>(t.history);
        out = { time, accepted, 0, 0, 0, {} };
        if (t.kind == Case::Rc)
            rcconvolution(*t.rckernels, samples, time, out);
        else
            rlcconvolution(t, samples, time, out);
        return out;
    }

    static void rlcconvolution(
        const Instance& t, std::span<const Sample> samples, double time, Convolution& out)
    {
        const ltra::RlcKernels& k = *t.kernels;
        out.self = k.admittance();
        std::array<double, 2> tail {}; // y's tail on each port's own voltage
        std::array<double, 2> h2 {}, h3 {}; // h2's on the other's current, h3's on its voltage
        const Sample& last = samples.back();
        if (!k.lossless()) {
            // The newest interval, from the last sample to the present, holds the unknown.
            double a = time - last.time;
            // The tail's integral and double integral at a.
            std::array<double, 2> ya {};
            if (a > 0) {
                ya = k.admittanceintegrals(a);
                const double own = ya[1] / a;
                out.self += own;
                for (std::size_t p = 0; p < 2; ++p)
                    tail[p] += last.v[p] * (ya[0] - own);
            }
            // Each older interval [a, b] of delays: the integral of the tail against the straight
            // voltage from va at a to vb at b.
            for (std::size_t j = samples.size() - 1; j > 0; --j) {
                const double b = time - samples[j - 1].time;
                const std::array<double, 2> yb = k.admittanceintegrals(b);
                for (std::size_t p = 0; p < 2; ++p) {
                    const double va = samples[j].v[p], vb = samples[j - 1].v[p];
                    tail[p] += vb * yb[0] - va * ya[0] - (vb - va) * (yb[1] - ya[1]) / (b - a);
                }
                a = b;
                ya = yb;
            }
            for (std::size_t p = 0; p < 2; ++p)
                tail[p] += samples.front().v[p] * (k.admittancetotal() - ya[0]);
            propagationtails(k, samples, time, h2, h3);
        }
        const Sample delayed = at(t, samples, time - k.delay());
        for (std::size_t p = 0; p < 2; ++p) {
            const std::size_t o = 1 - p;
            out.rhs[p]
                = tail[p] - k.attenuation() * (k.admittance() * delayed.v[o] + delayed.i[o]) - h3[p] - h2[p];
        }
    }

    // An RC line's ports are straight between the samples, and so sums of ramps from each sample
    // by its change of slope (none before the first, whose values held for ever before): each
    // kernel's convolution is the sum of its ramp responses so weighted, plus its DC gain (that of
    // h2 alone is not 0) times the first values. The ramp from the last sample holds the present.
    static void rcconvolution(
        const ltra::RcKernels& k, std::span<const Sample> samples, double time, Convolution& out)
    {
        const std::size_t n = samples.size() - 1;
        std::array<double, 2> y {}, h2 {}, h3 {};
        std::array<double, 2> vslope {}, islope {};
        auto ramp = [&](const Sample& s, const std::array<double, 2>& dv, const std::array<double, 2>& di) {
            const std::array<double, 3> r = k.ramps(time - s.time);
            for (std::size_t p = 0; p < 2; ++p) {
                const std::size_t o = 1 - p;
                y[p] += dv[p] * r[0];
                h2[p] += di[o] * r[1];
                h3[p] += dv[o] * r[2];
            }
        };
        for (std::size_t j = 0; j < n; ++j) {
            const Sample& s = samples[j];
            const Sample& next = samples[j + 1];
            std::array<double, 2> dv, di;
            for (std::size_t p = 0; p < 2; ++p) {
                const double v = (next.v[p] - s.v[p]) / (next.time - s.time);
                const double i = (next.i[p] - s.i[p]) / (next.time - s.time);
                dv[p] = v - vslope[p];
                di[p] = i - islope[p];
                vslope[p] = v;
                islope[p] = i;
            }
            ramp(s, dv, di);
        }
        // The present's slope (x(t) - x_n) / h: its known share here, its factor 1 / h in the matrix.
        const Sample& last = samples[n];
        const double h = time - last.time;
        if (h > 0) {
            std::array<double, 2> dv, di;
            for (std::size_t p = 0; p < 2; ++p) {
                dv[p] = -last.v[p] / h - vslope[p];
                di[p] = -last.i[p] / h - islope[p];
            }
            ramp(last, dv, di);
            const std::array<double, 3> r = k.ramps(h);
            out.self = r[0] / h;
            out.mutuali = r[1] / h;
            out.mutualv = r[2] / h;
        }
        for (std::size_t p = 0; p < 2; ++p)
            out.rhs[p] = y[p] - h3[p] - h2[p] - samples.front().i[1 - p];
    }

    // The convolutions of h2's and h3's tails, from T on, with the other port's current and
    // voltage, for port p in h2[p] and h3[p].
    static void propagationtails(const ltra::RlcKernels& k, std::span<const Sample> samples, double time,
        std::array<double, 2>& h2, std::array<double, 2>& h3)
    {
        const double td = k.delay();
        std::array<double, 2> integral {}; // of the tails over the delays gone through
        std::optional<std::array<double, 2>> atb; // the tails at the last interval's far end
        // The tails over the delays [a, b] by Simpson's rule, the values straight from `from` at a
        // to `older` at b.
        auto interval = [&](double a, double b, const Sample& from, const Sample& older) {
            const std::array<double, 2> ha = atb ? *atb : k.propagationtails(a);
            const std::array<double, 2> hm = k.propagationtails((a + b) / 2);
            const std::array<double, 2> hb = k.propagationtails(b);
            const double w = (b - a) / 6;
            for (std::size_t p = 0; p < 2; ++p) {
                const std::size_t o = 1 - p;
                const double im = (from.i[o] + older.i[o]) / 2, vm = (from.v[o] + older.v[o]) / 2;
                h2[p] += w * (ha[0] * from.i[o] + 4 * hm[0] * im + hb[0] * older.i[o]);
                h3[p] += w * (ha[1] * from.v[o] + 4 * hm[1] * vm + hb[1] * older.v[o]);
            }
            for (std::size_t n = 0; n < 2; ++n)
                integral[n] += w * (ha[n] + 4 * hm[n] + hb[n]);
            atb = hb;
        };
        // A step longer than the delay (NOSTEPLIMIT): the values after the last sample are its own.
        const Sample& last = samples.back();
        if (time - last.time > td)
            interval(td, time - last.time, last, last);
        for (std::size_t j = samples.size() - 1; j > 0; --j) {
            const Sample& newer = samples[j];
            const Sample& older = samples[j - 1];
            const double b = time - older.time;
            if (b <= td)
                continue;
            const double a = time - newer.time;
            if (a >= td) {
                interval(a, b, newer, older);
                continue;
            }
            // The interval holds the delay: its stretch from T, the values there on the straight.
            const double share = (time - td - older.time) / (newer.time - older.time);
            Sample from = newer;
            for (std::size_t p = 0; p < 2; ++p) {
                from.v[p] = older.v[p] + share * (newer.v[p] - older.v[p]);
                from.i[p] = older.i[p] + share * (newer.i[p] - older.i[p]);
            }
            interval(td, b, from, older);
        }
        // Before the first sample the values stay those of the first, over the rest of the tails.
        const std::array<double, 2> totals = k.propagationtotals();
        const Sample& first = samples.front();
        for (std::size_t p = 0; p < 2; ++p) {
            const std::size_t o = 1 - p;
            h2[p] += first.i[o] * (totals[0] - integral[0]);
            h3[p] += first.v[o] * (totals[1] - integral[1]);
        }
    }

    // Before the first point the ports hold their initial values.
    static void begin(IFcircuit&, std::span<Hot> list)
    {
        for (const Hot& h : list) {
            h.line->history.clear();
            h.line->forgotten = 0;
            h.line->cached = {};
        }
    }

    // The waves leaving the ports at sample s: V + I / Y0.
    static Waves waves(const Sample& s, double z0) { return { s.v[0] + z0 * s.i[0], s.v[1] + z0 * s.i[1] }; }

    // A wave must have left before it arrives: no step longer than the delay, unless NOSTEPLIMIT
    // (the values past the last point are then held). Unless NOCONTROL, where the arriving waves
    // bend the step keeps a straight line through them within the voltage tolerances; an RC line,
    // without delay, keeps one through its ports' latest voltages so.
    static void limitstep(IFcircuit& ckt, std::span<const Hot> list, double& step)
    {
        for (const Hot& h : list) {
            const Instance& t = *h.line;
            if (t.kind == Case::Rg)
                continue;
            const Model& m = model(t);
            const bool rc = t.kind == Case::Rc;
            const double td = rc ? 0 : t.kernels->delay();
            if (!m.nosteplimit && !rc)
                step = std::min(step, td);
            if (m.nocontrol || t.history.size() < 3)
                continue;
            const double z0 = rc ? 0 : 1 / t.kernels->admittance();
            const double weight = rc ? 1 : t.kernels->attenuation();
            const double from = rc ? ckt.time - step : ckt.time - td,
                         to = rc ? ckt.time : ckt.time - td + step;
            step = std::min(step,
                bendstep(std::span<const Sample>(t.history), from, to, weight, ckt.options.reltol,
                    ckt.options.vntol, [z0](const Sample& point) { return waves(point, z0); }));
        }
    }

    // An LC line reads its past only a delay back (its other kernels vanish), so what lies before
    // that goes; in batches, so that the history is not moved at every point.
    static void forget(Instance& t, double keepafter)
    {
        const std::size_t stale = outdated(std::span<const Sample>(t.history), keepafter);
        if (stale <= 64 || stale <= t.history.size() / 2)
            return;
        t.history.erase(t.history.begin(), t.history.begin() + static_cast<std::ptrdiff_t>(stale));
        t.forgotten += stale;
    }

    // Keeps the point; a corner of a leaving wave (a change of slope by at least REL of the larger
    // slope and by more than ABS) arrives at the other port a delay later, a break point there.
    static void accept(IFcircuit& ckt, std::span<const Hot> list)
    {
        const double* x = ckt.solution.data();
        for (const Hot& h : list) {
            Instance& t = *h.line;
            if (t.kind == Case::Rg)
                continue;
            // A run from initial conditions starts the line in the state they give, whatever the
            // nodes hold at 0.
            const bool given = t.history.empty() && (ckt.mode & MODE_UIC);
            const Sample s = given
                ? Sample { ckt.time, { t.v1, t.v2 }, { t.i1, t.i2 } }
                : Sample { ckt.time, { x[h.ports[0]] - x[h.ports[1]], x[h.ports[2]] - x[h.ports[3]] },
                      { x[h.branches[0]], x[h.branches[1]] } };
            if (!t.history.empty() && s.time <= t.history.back().time)
                t.history.back() = s;
            else
                t.history.push_back(s);
            if (t.kind == Case::Lc)
                forget(t, ckt.time - t.kernels->delay());
            if (t.history.size() < 3 || t.kind == Case::Rc)
                continue;
            const Model& m = model(t);
            const double z0 = 1 / t.kernels->admittance();
            if (wavecorner(std::span<const Sample>(t.history), m.relative, m.absolute,
                    [z0](const Sample& point) { return waves(point, z0); }))
                addbreak(ckt, t.history[t.history.size() - 2].time + t.kernels->delay());
        }
    }

    // The exact two-port at w: I1 = Yc V1 - e^-gamma LEN (Yc V2 + I2), Yc = sqrt((G + jwC) / (R + jwL)),
    // gamma = sqrt((R + jwL) (G + jwC)).
    static void acload(IFcircuit& ckt, const Instance& t, const Hot& h)
    {
        const Model& m = model(t);
        double* a = ckt.matrix.stamps();
        double* b = ckt.matrix.imaginary();
        const std::complex<double> series(m.r, ckt.omega * m.l), shunt(m.g, ckt.omega * m.c);
        const std::complex<double> yc = std::sqrt(shunt / series);
        const std::complex<double> through = std::exp(-std::sqrt(series * shunt) * m.len);
        stampbranches(a, h);
        const std::complex<double> self = yc, mutual = through * yc;
        stampadmittances(a, h, self.real(), mutual.real());
        stampadmittances(b, h, self.imag(), mutual.imag());
        // The other port's current, carried through.
        const auto& c = h.cells;
        a[c[Br1Br2]] += through.real();
        b[c[Br1Br2]] += through.imag();
        a[c[Br2Br1]] += through.real();
        b[c[Br2Br1]] += through.imag();
    }

    // In DC the conductors run through; an RG line also leaks across its ports.
    static void topology(Topology& topology, const Instance& t, const Hot& h)
    {
        topology.conducts(h.ports[0], h.ports[2]);
        topology.conducts(h.ports[1], h.ports[3]);
        if (t.kind == Case::Rg) {
            topology.conducts(h.ports[0], h.ports[1]);
            topology.conducts(h.ports[2], h.ports[3]);
        }
    }
};

} // namespace

extern const DeviceKind ltrakind;
constexpr DeviceKind ltrakind = devicekind<Ltra>("LTRA", "Lossy transmission line", 4);

} // namespace nerith
