#include "engines/nerith/devices/fet.h"

namespace nerith {

namespace {

enum : int32_t {
    Njf = 101,
    Pjf,
    Vto,
    VtoAlias,
    Beta,
    Lambda,
    Rd,
    Rs,
    Cgs,
    Cgd,
    Pb,
    Is,
    Fc,
    B,
    Kf,
    Af,
    Eg,
    Xti,
    Tnom,
    Polarity,
    DrainConductance,
    SourceConductance,
};

// The junction field-effect transistor, N or P channel: the square-law channel with channel-length
// modulation (and the doping-tail parameter B, 1 for the plain square law), gate diodes and their
// depletion charges.
struct JunctionChannel {
    static constexpr const char* what = "JFET";
    static constexpr int32_t States = 0;

    struct Model : IFmodel {
        int32_t polarity = 1;
        double vto, beta, lambda, rd, rs, cgs, cgd, pb, is, fc, b, kf, af, eg, xti, tnom;
        bool tnomgiven = false;
    };

    static constexpr auto modelparameters = parametertable<Model>({
        settable<&setpolarity<Model, 1>>("njf", Njf, IF_FLAG, "N type JFET model"),
        settable<&setpolarity<Model, -1>>("pjf", Pjf, IF_FLAG, "P type JFET model"),
        reading<&Model::polarity>("type", Polarity, "N (1) or P (-1) channel"),
        field<&Model::vto>("vto", Vto, "Threshold voltage").in("V").initially(-2),
        field<&Model::vto>("vt0", VtoAlias, "Threshold voltage").in("V").initially(-2),
        field<&Model::beta>("beta", Beta, "Transconductance parameter").in("A/V2").initially(1e-4),
        field<&Model::lambda>("lambda", Lambda, "Channel length modulation parameter").in("1/V"),
        field<&Model::rd>("rd", Rd, "Drain ohmic resistance").in("ohm"),
        field<&Model::rs>("rs", Rs, "Source ohmic resistance").in("ohm"),
        field<&Model::cgs>("cgs", Cgs, "G-S junction capacitance").in("F"),
        field<&Model::cgd>("cgd", Cgd, "G-D junction capacitance").in("F"),
        field<&Model::pb>("pb", Pb, "Gate junction potential").in("V").initially(1),
        field<&Model::is>("is", Is, "Gate junction saturation current").in("A").initially(1e-14),
        field<&Model::fc>("fc", Fc, "Forward bias junction fit parameter").initially(0.5),
        field<&Model::b>("b", B, "Doping tail parameter").initially(1),
        field<&Model::kf>("kf", Kf, "Flicker noise coefficient"),
        field<&Model::af>("af", Af, "Flicker noise exponent").initially(1),
        field<&Model::eg>("eg", Eg, "Energy gap for IS temperature dependency").in("eV").initially(1.11),
        field<&Model::xti>("xti", Xti, "Temperature exponent for IS").initially(3),
        field<&Model::tnom, &Model::tnomgiven>("tnom", Tnom, "Parameter measurement temperature").in("degC"),
        computed<&seriesconductance<&Model::rd>>("gd", DrainConductance, "Drain conductance").in("S"),
        computed<&seriesconductance<&Model::rs>>("gs", SourceConductance, "Source conductance").in("S"),
    });

    static const char* unsound(const Model& m)
    {
        auto bad = [](double v) { return !std::isfinite(v); };
        if (bad(m.vto))
            return "threshold voltage VTO";
        if (bad(m.beta) || m.beta < 0)
            return "transconductance BETA";
        if (bad(m.lambda) || m.lambda < 0)
            return "LAMBDA";
        if (bad(m.rd) || m.rd < 0 || bad(m.rs) || m.rs < 0)
            return "series resistance";
        if (bad(m.cgs) || m.cgs < 0 || bad(m.cgd) || m.cgd < 0)
            return "junction capacitance";
        if (bad(m.pb) || m.pb <= 0)
            return "junction potential PB";
        if (bad(m.is) || m.is <= 0)
            return "saturation current IS";
        if (bad(m.fc) || m.fc < 0 || m.fc >= 1)
            return "coefficient FC";
        if (bad(m.b) || m.b <= 0)
            return "doping tail parameter B";
        if (bad(m.kf) || m.kf < 0 || bad(m.af) || m.af <= 0 || bad(m.eg) || m.eg <= 0 || bad(m.xti))
            return "temperature or noise coefficient";
        if (m.b != 1 && m.pb == m.vto)
            return "PB equal to VTO with B other than 1";
        return nullptr;
    }

    static void prepare(const Model& m, double nominal, FetScaled& at)
    {
        at.csat = saturationtemperature(m.is, m.eg, m.xti, 1, nominal, at.kelvin);
        const JunctionTemperature gate = junctiontemperature(m.pb, 1, 0.5, nominal, at.kelvin);
        at.gatepot = gate.potential;
        at.czgs = m.cgs * gate.capacitance;
        at.czgd = m.cgd * gate.capacitance;
        at.threshold = m.vto;
        at.beta = m.beta;
    }

    static ChannelCurrent forward(const Model& m, const FetScaled& at, double vgst, double vds)
    {
        ChannelCurrent c;
        if (vgst <= 0)
            return c;
        const double betap = at.beta * (1 + m.lambda * vds);
        const double tail = (1 - m.b) / (m.pb - m.vto);
        if (vgst >= vds) {
            const double a = 2 * m.b + 3 * tail * (vgst - vds);
            const double part = vds * (vds * (tail * vds - m.b) + vgst * a);
            c.i = betap * part;
            c.gm = betap * vds * (a + 3 * tail * vgst);
            c.gds = betap * (vgst - vds) * a + at.beta * m.lambda * part;
        } else {
            const double scaled = vgst * tail;
            const double part = vgst * vgst * (m.b + scaled);
            c.i = betap * part;
            c.gm = betap * vgst * (2 * m.b + 3 * scaled);
            c.gds = m.lambda * at.beta * part;
        }
        return c;
    }

    // The forward channel current as a polynomial of its voltages, for the distortion analysis.
    static Taylor current(const Model& m, const FetScaled& at, const Taylor& vgst, const Taylor& vds)
    {
        if (vgst.value() <= 0)
            return {};
        const Taylor betap = at.beta * (1 + m.lambda * vds);
        const double tail = (1 - m.b) / (m.pb - m.vto);
        if (vgst.value() >= vds.value())
            return betap * vds * (vds * (tail * vds - m.b) + vgst * (2 * m.b + 3 * tail * (vgst - vds)));
        return betap * vgst * vgst * (m.b + tail * vgst);
    }

    // The gate charges as polynomials of the gate voltages.
    static std::array<Taylor, 2> charges(
        const Model& m, const FetScaled& at, const Taylor& vgs, const Taylor& vgd)
    {
        return { depletioncharge(vgs, at.czgs, at.gatepot, 0.5, m.fc),
            depletioncharge(vgd, at.czgd, at.gatepot, 0.5, m.fc) };
    }

    template <class Instance>
    static GateCharges charges(IFcircuit&, const Model& m, const Instance& f, double vgs, double vgd, bool)
    {
        const Depletion gs = depletion(vgs, f.at.czgs, f.at.gatepot, 0.5, m.fc);
        const Depletion gd = depletion(vgd, f.at.czgd, f.at.gatepot, 0.5, m.fc);
        return { gs.charge, gd.charge, gs.capacitance, gd.capacitance };
    }
};

} // namespace

extern const DeviceKind jfetkind;
constexpr DeviceKind jfetkind
    = devicekind<FieldEffect<JunctionChannel>>("JFET", "Junction Field effect transistor", 3);

} // namespace nerith
