#include "engines/nerith/devices/fet.h"

namespace nerith {

namespace {

enum : int32_t {
    Nmf = 101,
    Pmf,
    Vto,
    VtoAlias,
    Alpha,
    Beta,
    Lambda,
    B,
    Rd,
    Rs,
    Cgs,
    Cgd,
    Pb,
    Is,
    Fc,
    Kf,
    Af,
    Tnom,
    Polarity,
    DrainConductance,
    SourceConductance,
};

// Gate charge of the Schottky-gate model: the gate-source capacitance follows the larger of the
// two gate voltages smoothly, cut off below the threshold, and the gate-drain one the smaller.
constexpr double ChargeSmoothing = 0.2; // V, of the threshold's corner
constexpr double ChargeLimit = 0.5; // V: above it the depletion charge goes on linearly

// The MESFET, N or P channel: the channel current with a hyperbolic-tangent-like knee (a cubic up
// to VDS = 3 / ALPHA), the doping-tail parameter B, and the gate charge split between source and
// drain by which side of the channel is nearer the gate's potential.
struct SchottkyChannel {
    static constexpr const char* what = "MESFET";
    // The gate voltages of the point, for the path integral of the gate charge.
    static constexpr int32_t States = 2;

    struct Model : IFmodel {
        int32_t polarity = 1;
        double vto, alpha, beta, lambda, b, rd, rs, cgs, cgd, pb, is, fc, kf, af, tnom;
        bool tnomgiven = false;
    };

    static constexpr auto modelparameters = parametertable<Model>({
        settable<&setpolarity<Model, 1>>("nmf", Nmf, IF_FLAG, "N type MESFET model"),
        settable<&setpolarity<Model, -1>>("pmf", Pmf, IF_FLAG, "P type MESFET model"),
        reading<&Model::polarity>("type", Polarity, "N (1) or P (-1) channel"),
        field<&Model::vto>("vto", Vto, "Pinch-off voltage").in("V").initially(-2),
        field<&Model::vto>("vt0", VtoAlias, "Pinch-off voltage").in("V").initially(-2),
        field<&Model::alpha>("alpha", Alpha, "Saturation voltage parameter").in("1/V").initially(2),
        field<&Model::beta>("beta", Beta, "Transconductance parameter").in("A/V2").initially(2.5e-3),
        field<&Model::lambda>("lambda", Lambda, "Channel length modulation parameter").in("1/V"),
        field<&Model::b>("b", B, "Doping tail extending parameter").in("1/V").initially(0.3),
        field<&Model::rd>("rd", Rd, "Drain ohmic resistance").in("ohm"),
        field<&Model::rs>("rs", Rs, "Source ohmic resistance").in("ohm"),
        field<&Model::cgs>("cgs", Cgs, "G-S junction capacitance").in("F"),
        field<&Model::cgd>("cgd", Cgd, "G-D junction capacitance").in("F"),
        field<&Model::pb>("pb", Pb, "Gate junction potential").in("V").initially(1),
        field<&Model::is>("is", Is, "Junction saturation current").in("A").initially(1e-14),
        field<&Model::fc>("fc", Fc, "Forward bias junction fit parameter").initially(0.5),
        field<&Model::kf>("kf", Kf, "Flicker noise coefficient"),
        field<&Model::af>("af", Af, "Flicker noise exponent").initially(1),
        field<&Model::tnom, &Model::tnomgiven>("tnom", Tnom, "Parameter measurement temperature").in("degC"),
        computed<&seriesconductance<&Model::rd>>("gd", DrainConductance, "Drain conductance").in("S"),
        computed<&seriesconductance<&Model::rs>>("gs", SourceConductance, "Source conductance").in("S"),
    });

    static const char* unsound(const Model& m)
    {
        auto bad = [](double v) { return !std::isfinite(v); };
        if (bad(m.vto))
            return "pinch-off voltage VTO";
        if (bad(m.alpha) || m.alpha <= 0)
            return "saturation voltage parameter ALPHA";
        if (bad(m.beta) || m.beta < 0 || bad(m.lambda) || m.lambda < 0 || bad(m.b) || m.b < 0)
            return "channel parameter BETA, LAMBDA or B";
        if (bad(m.rd) || m.rd < 0 || bad(m.rs) || m.rs < 0)
            return "series resistance";
        if (bad(m.cgs) || m.cgs < 0 || bad(m.cgd) || m.cgd < 0)
            return "junction capacitance";
        if (bad(m.pb) || m.pb <= ChargeLimit)
            return "junction potential PB (it must exceed 0.5 V)";
        if (bad(m.is) || m.is <= 0)
            return "saturation current IS";
        if (bad(m.fc) || m.fc < 0 || m.fc >= 1)
            return "coefficient FC";
        if (bad(m.kf) || m.kf < 0 || bad(m.af) || m.af <= 0)
            return "noise coefficient";
        return nullptr;
    }

    // The model's currents and charges do not depend on temperature beyond kT/q.
    static void prepare(const Model& m, double, FetScaled& at)
    {
        at.csat = m.is;
        at.gatepot = m.pb;
        at.czgs = m.cgs;
        at.czgd = m.cgd;
        at.threshold = m.vto;
        at.beta = m.beta;
    }

    static ChannelCurrent forward(const Model& m, const FetScaled& at, double vgst, double vds)
    {
        ChannelCurrent c;
        if (vgst <= 0)
            return c;
        const double stretch = 1 + m.lambda * vds;
        const double betap = at.beta * stretch;
        const double denom = 1 + m.b * vgst;
        const double square = vgst * vgst / denom;
        const double slope = vgst * (1 + denom) / (denom * denom);
        if (vds >= 3 / m.alpha) {
            c.i = betap * square;
            c.gm = betap * slope;
            c.gds = m.lambda * at.beta * square;
            return c;
        }
        const double a = 1 - m.alpha * vds / 3;
        const double knee = 1 - a * a * a;
        c.i = betap * square * knee;
        c.gm = betap * slope * knee;
        c.gds = at.beta * square * (m.alpha * a * a * stretch + knee * m.lambda);
        return c;
    }

    // The forward channel current as a polynomial of its voltages, for the distortion analysis.
    static Taylor current(const Model& m, const FetScaled& at, const Taylor& vgst, const Taylor& vds)
    {
        if (vgst.value() <= 0)
            return {};
        const Taylor betap = at.beta * (1 + m.lambda * vds);
        const Taylor square = vgst * vgst / (1 + m.b * vgst);
        if (vds.value() >= 3 / m.alpha)
            return betap * square;
        const Taylor a = 1 - m.alpha / 3 * vds;
        return betap * square * (1 - a * a * a);
    }

    // The total gate charge at (vgs, vgd) and its capacitances to each side.
    struct Total {
        double charge = 0;
        double cgs = 0;
        double cgd = 0;
    };
    static Total gatecharge(
        double vgs, double vgd, double pb, double vcap, double vto, double cgs, double cgd)
    {
        const double spread = std::sqrt((vgs - vgd) * (vgs - vgd) + vcap * vcap);
        const double high = 0.5 * (vgs + vgd + spread);
        const double low = high - spread;
        const double corner = std::sqrt((high - vto) * (high - vto) + ChargeSmoothing * ChargeSmoothing);
        const double smooth = 0.5 * (high + vto + corner);
        double effective = smooth;
        double linear = 0;
        if (smooth >= ChargeLimit) {
            effective = ChargeLimit;
            linear = (smooth - ChargeLimit) / std::sqrt(1 - ChargeLimit / pb);
        }
        const double root = std::sqrt(1 - effective / pb);
        Total t;
        t.charge = cgs * (2 * pb * (1 - root) + linear) + cgd * low;
        const double pass = 0.5 * (1 + (high - vto) / corner);
        const double share = (vgs - vgd) / spread;
        const double plus = 0.5 * (1 + share);
        const double minus = plus - share;
        t.cgs = cgs / root * pass * plus + cgd * minus;
        t.cgd = cgs / root * pass * minus + cgd * plus;
        return t;
    }

    template <class Instance>
    static GateCharges charges(
        IFcircuit& ckt, const Model& m, const Instance& f, double vgs, double vgd, bool first)
    {
        const double vcap = 1 / m.alpha;
        const auto at = static_cast<std::size_t>(f.state + FieldEffect<SchottkyChannel>::ChannelStates);
        auto total = [&](double gs, double gd) {
            return gatecharge(gs, gd, f.at.gatepot, vcap, f.at.threshold, f.at.czgs, f.at.czgd);
        };
        const Total now = total(vgs, vgd);
        GateCharges q { now.charge, now.charge, now.cgs, now.cgd };
        const bool transient = ckt.mode & MODE_TRAN;
        if (!transient)
            return q;
        ckt.states[0][at] = vgs;
        ckt.states[0][at + 1] = vgd;
        if (first) {
            ckt.states[1][at] = vgs;
            ckt.states[1][at + 1] = vgd;
            return q;
        }
        // Each side's charge grows by the total's change along its own voltage, taken as the mean
        // of the two paths from the last point.
        const double oldgs = ckt.states[1][at];
        const double oldgd = ckt.states[1][at + 1];
        const double a = now.charge;
        const double b = total(oldgs, vgd).charge;
        const double c = total(vgs, oldgd).charge;
        const double d = total(oldgs, oldgd).charge;
        const auto s = static_cast<std::size_t>(f.state);
        q.qgs = ckt.states[1][s + FieldEffect<SchottkyChannel>::Qgs] + 0.5 * (a - b + c - d);
        q.qgd = ckt.states[1][s + FieldEffect<SchottkyChannel>::Qgd] + 0.5 * (a - c + b - d);
        return q;
    }
};

} // namespace

extern const DeviceKind meskind;
constexpr DeviceKind meskind = devicekind<FieldEffect<SchottkyChannel>>("MES", "GaAs MESFET model", 3);

} // namespace nerith
