// Junction devices against closed forms: the limiting functions and the DC current and conductance
// of each device at chosen bias points and temperatures.
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/tests/simulation.h"

#include <cmath>
#include <span>

using nerithtest::Simulation;

namespace {

constexpr double Gmin = 1e-12;

double vt(double celsius)
{
    return nerith::Boltzmann * (celsius + nerith::KelvinOffset) / nerith::ElectronCharge;
}

// Sets a parameter of the model the fixture gives instances of `type`.
int modelparm(Simulation& s, const char* type, const char* keyword, double value)
{
    const int32_t kind = nerithtest::findtype(s.d, type);
    IFmodel* model = nullptr;
    EXPECT_EQ(s.d->newModel(s.ckt, kind, &model, (std::string("default_") + type).c_str()), 0);
    const IFdevice* device = s.d->devices[kind];
    const IFparm* parm = nerithtest::findparm(device->modelParms, device->numModelParms, keyword);
    if (!parm)
        return E_BADPARM;
    IFvalue v {};
    v.rValue = value;
    return s.d->setModelParm(s.ckt, model, parm->id, &v, nullptr);
}

} // namespace

TEST(Limiting, PnJunctionStepsFollowTheCurrent)
{
    const double t = 0.025;
    const double critical = nerith::criticalvoltage(t, 1e-14);
    EXPECT_NEAR(critical, t * std::log(t / (std::sqrt(2.0) * 1e-14)), 1e-12);
    struct Case {
        double proposed, old, expected;
        bool limited;
    } cases[] = {
        { 0.5, 0.45, 0.5, false }, // below the critical voltage
        { critical + 0.01, critical, critical + 0.01, false }, // a step within two thermal voltages
        { 5.0, 0.6, 0.6 + t * std::log(1 + 4.4 / t), true }, // from forward bias: along the current
        { 5.0, -1.0, t * std::log(5.0 / t), true }, // from reverse bias
        { 0.8, 2.0, critical, true }, // a step back past where the linearised current turns
        { -10.0, 0.5, -1.5, true }, // reverse steps at most double the voltage, plus a volt
        { -10.0, -2.0, -5.0, true },
        { -3.0, -2.0, -3.0, false },
    };
    for (const Case& c : cases) {
        bool limited = false;
        EXPECT_NEAR(nerith::pnjlim(c.proposed, c.old, t, critical, limited), c.expected, 1e-12)
            << c.proposed << " from " << c.old;
        EXPECT_EQ(limited, c.limited) << c.proposed << " from " << c.old;
    }
}

TEST(Limiting, FieldEffectVoltagesStayNearTheThreshold)
{
    struct Case {
        double proposed, old, vto, expected;
    } cases[] = {
        { 20.0, 5.0, 1.0, 5.0 + 10.0 }, // on, going further on: step up to 2 |old - vto| + 2
        { 7.0, 5.0, 1.0, 7.0 }, { -10.0, 5.0, 1.0, 3.0 }, // on, turning off: stop at vto + 2
        { 4.6, 10.0, 1.0, 4.6 }, // staying well on
        { 6.0, 2.0, 1.0, 5.0 }, // middle region: at most vto + 4
        { -5.0, 2.0, 1.0, 0.5 }, // middle region: at least vto - 0.5
        { 6.0, -1.0, 1.0, 1.5 }, // off, turning on: stop at vto + 0.5
        { 0.5, -3.0, 1.0, 0.5 },
        { -20.0, -1.0, 1.0, -1.0 - 6.0 }, // off, going further off: at most 2 |old - vto| + 2
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(nerith::fetlim(c.proposed, c.old, c.vto), c.expected)
            << c.proposed << " from " << c.old;

    struct Vds {
        double proposed, old, expected;
    } drains[] = {
        { 50.0, 5.0, 17.0 },
        { 1.0, 5.0, 2.0 },
        { 4.0, 5.0, 4.0 },
        { 10.0, 1.0, 4.0 },
        { -3.0, 1.0, -0.5 },
        { 0.5, 1.0, 0.5 },
    };
    for (const Vds& c : drains)
        EXPECT_DOUBLE_EQ(nerith::limvds(c.proposed, c.old), c.expected) << c.proposed << " from " << c.old;
}

TEST(Diode, DcCurrentAndConductanceMatchTheClosedFormAcrossTemperature)
{
    struct Case {
        double v, celsius, n, area;
    } cases[] = {
        { 0.6, 27, 1, 1 },
        { 0.7, 27, 1.7, 2 },
        { -0.05, 27, 1, 1 },
        { 0.55, 127, 1, 1 },
        { 0.65, -40, 1.2, 0.5 },
        { -5, 27, 1, 1 },
    };
    const double is = 1e-14;
    const double eg = 1.11;
    const double xti = 3;
    for (const Case& c : cases) {
        Simulation s;
        s.add("Vsource", "v1", { "a", "0" }, { { "dc", c.v } });
        IFinstance* d = s.add("Diode", "d1", { "a", "0" }, { { "area", c.area }, { "temp", c.celsius } });
        ASSERT_EQ(modelparm(s, "Diode", "is", is), 0);
        ASSERT_EQ(modelparm(s, "Diode", "n", c.n), 0);
        ASSERT_EQ(s.run(), 0) << s.message(s.run());

        const double kelvin = c.celsius + nerith::KelvinOffset;
        const double nominal = 27 + nerith::KelvinOffset;
        const double vte = c.n * vt(c.celsius);
        const double scaled = c.area * is
            * std::exp((kelvin / nominal - 1) * eg / vte + xti / c.n * std::log(kelvin / nominal));
        double id;
        double gd;
        if (c.v >= -3 * vte) {
            id = scaled * (std::exp(c.v / vte) - 1);
            gd = scaled * std::exp(c.v / vte) / vte;
        } else {
            const double a = 3 * vte / (c.v * std::exp(1.0));
            id = -scaled * (1 + a * a * a);
            gd = 3 * scaled * a * a * a / c.v;
        }
        id += Gmin * c.v;
        gd += Gmin;
        EXPECT_NEAR(s.ask(d, "id"), id, 1e-9 * std::fabs(id)) << c.v << " V at " << c.celsius << " C";
        EXPECT_NEAR(s.ask(d, "gd"), gd, 1e-9 * gd) << c.v << " V at " << c.celsius << " C";
        EXPECT_NEAR(s.ask(d, "vd"), c.v, 1e-12);
    }
}

TEST(Diode, SeriesResistanceAndBreakdownFromColdStarts)
{
    // A current forced through the diode: the anode sits one junction drop plus I RS up.
    Simulation s;
    ASSERT_EQ(s.option("reltol", 1e-7), 0);
    s.add("Isource", "i1", { "0", "a" }, { { "dc", 10e-3 } });
    IFinstance* d = s.add("Diode", "d1", { "a", "0" });
    ASSERT_EQ(modelparm(s, "Diode", "is", 2.52e-9), 0);
    ASSERT_EQ(modelparm(s, "Diode", "n", 1.752), 0);
    ASSERT_EQ(modelparm(s, "Diode", "rs", 0.568), 0);
    ASSERT_EQ(s.run(), 0) << s.message(s.run());
    const double junction = 1.752 * vt(27) * std::log(1 + (10e-3 - Gmin * s.ask(d, "vd")) / 2.52e-9);
    EXPECT_NEAR(s.ask(d, "vd"), junction, 1e-7);
    EXPECT_NEAR(s.ask(d, "id"), 10e-3, 1e-12);
    EXPECT_NEAR(s.v("a"), junction + 10e-3 * 0.568, 1e-7);
    EXPECT_NEAR(s.ask(d, "p"), 10e-3 * s.v("a"), 1e-9);

    // Driven in reverse beyond BV through a resistor: the knee holds near -BV with IBV at BV.
    Simulation z;
    z.add("Vsource", "v1", { "in", "0" }, { { "dc", -20 } });
    z.add("Resistor", "r1", { "in", "k" }, { { "resistance", 1e3 } });
    IFinstance* zener = z.add("Diode", "dz", { "k", "0" });
    ASSERT_EQ(modelparm(z, "Diode", "bv", 5.1), 0);
    ASSERT_EQ(modelparm(z, "Diode", "ibv", 1e-3), 0);
    ASSERT_EQ(z.run(), 0) << z.message(z.run());
    const double current = (z.v("k") + 20) / 1e3;
    EXPECT_NEAR(z.ask(zener, "id"), -current, 1e-9);
    EXPECT_LT(z.v("k"), -5.1);
    EXPECT_GT(z.v("k"), -5.1 - vt(27) * std::log(current / 1e-3) - 0.01);
}

TEST(Diode, InternalNodesAreMadeAnewWhenTheCircuitIsRenumbered)
{
    // Deleting a device renumbers the equations: the diode's node behind RS is made again, and a
    // deleted diode's node leaves nothing floating.
    Simulation s;
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r1", { "a", "k" }, { { "resistance", 100 } });
    IFinstance* d = s.add("Diode", "d1", { "k", "0" });
    IFinstance* spare = s.add("Diode", "d2", { "k", "0" });
    ASSERT_EQ(modelparm(s, "Diode", "rs", 5), 0);
    ASSERT_EQ(s.run(), 0) << s.message(s.run());
    const double shared = s.v("k");
    ASSERT_EQ(s.d->deleteInstance(s.ckt, spare), 0);
    ASSERT_EQ(s.run(), 0) << s.message(s.run());
    EXPECT_GT(s.v("k"), shared);
    EXPECT_NEAR((1 - s.v("k")) / 100, s.ask(d, "id"), 1e-9);
    EXPECT_NEAR(s.v("k") - s.ask(d, "vd"), 5 * s.ask(d, "id"), 1e-9);
}

TEST(Diode, UnusableValuesAreRefusedNamingTheDevice)
{
    struct Case {
        const char* keyword;
        double value;
        bool model;
    } cases[] = {
        { "is", 0, true },
        { "n", -1, true },
        { "m", -0.5, true },
        { "vj", 0, true },
        { "rs", -1, true },
        { "area", -2, false },
        { "bv", -3, true },
        { "is", NAN, true },
        { "tnom", -300, true },
    };
    for (const Case& c : cases) {
        Simulation s;
        s.add("Vsource", "v1", { "a", "0" }, { { "dc", 0.7 } });
        IFinstance* d = s.add("Diode", "dbad", { "a", "0" });
        ASSERT_EQ(c.model ? modelparm(s, "Diode", c.keyword, c.value) : s.set(d, c.keyword, c.value), 0);
        const int code = s.run();
        EXPECT_NE(code, 0) << c.keyword;
        EXPECT_NE(s.message(code).find("dbad"), std::string::npos) << s.message(code);
    }
}

TEST(Bjt, TerminalCurrentsMatchTheGummelPoonClosedForm)
{
    // Forward active and saturated, NPN and PNP, at two temperatures, with Early effect, leakage
    // and high injection; the substrate on ground.
    struct Case {
        double vbe, vce, celsius, polarity;
        bool highinjection;
    } cases[] = {
        { 0.65, 5, 27, 1, false },
        { 0.7, 0.1, 27, 1, false },
        { 0.6, 3, 100, 1, false },
        { 0.68, 2, 27, -1, false },
        { 0.75, 4, -20, 1, true },
    };
    const double is = 1e-16, bf = 120, br = 2, vaf = 80, var = 20, ise = 1e-15, ne = 1.6, ikf = 5e-3;
    for (const Case& c : cases) {
        Simulation s;
        s.add("Vsource", "vb", { "b", "0" }, { { "dc", c.polarity * c.vbe } });
        s.add("Vsource", "vc", { "c", "0" }, { { "dc", c.polarity * c.vce } });
        IFinstance* q = s.add("BJT", "q1", { "c", "b", "0" }, { { "temp", c.celsius } });
        for (auto [keyword, value] : { std::pair { "is", is }, { "bf", bf }, { "br", br }, { "vaf", vaf },
                 { "var", var }, { "ise", ise }, { "ne", ne } })
            ASSERT_EQ(modelparm(s, "BJT", keyword, value), 0) << keyword;
        if (c.highinjection) {
            ASSERT_EQ(modelparm(s, "BJT", "ikf", ikf), 0);
        }
        IFvalue flag {};
        flag.iValue = 1;
        const int32_t kind = nerithtest::findtype(s.d, "BJT");
        IFmodel* model = nullptr;
        ASSERT_EQ(s.d->newModel(s.ckt, kind, &model, "default_BJT"), 0);
        const IFdevice* device = s.d->devices[kind];
        const char* word = c.polarity > 0 ? "npn" : "pnp";
        ASSERT_EQ(
            s.d->setModelParm(s.ckt, model,
                nerithtest::findparm(device->modelParms, device->numModelParms, word)->id, &flag, nullptr),
            0);
        ASSERT_EQ(s.run(), 0) << s.message(s.run());

        const double kelvin = c.celsius + nerith::KelvinOffset;
        const double ratio = kelvin / (27 + nerith::KelvinOffset);
        const double t = vt(c.celsius);
        const double logfactor = (ratio - 1) * 1.11 / t + 3 * std::log(ratio);
        const double csat = is * std::exp(logfactor);
        const double leak = ise * std::exp(logfactor / ne);
        const double vbc = c.vbe - c.vce;
        const double ibe = csat * (std::exp(c.vbe / t) - 1) + Gmin * c.vbe;
        const double ibc = csat * (std::exp(vbc / t) - 1) + Gmin * vbc;
        const double ileak = leak * (std::exp(c.vbe / (ne * t)) - 1);
        const double q1 = 1 / (1 - vbc / vaf - c.vbe / var);
        const double qb = c.highinjection ? q1 * (1 + std::sqrt(1 + 4 * ibe / ikf)) / 2 : q1;
        const double ic = (ibe - ibc) / qb - ibc / br;
        const double ib = ibe / bf + ileak + ibc / br;
        EXPECT_NEAR(s.ask(q, "ic"), c.polarity * ic, 1e-9 * std::fabs(ic))
            << c.vbe << " " << c.vce << " " << c.celsius;
        EXPECT_NEAR(s.ask(q, "ib"), c.polarity * ib, 1e-9 * std::fabs(ib))
            << c.vbe << " " << c.vce << " " << c.celsius;
        EXPECT_NEAR(s.ask(q, "ie"), -c.polarity * (ic + ib), 1e-9 * std::fabs(ic + ib));
        EXPECT_NEAR(s.ask(q, "gpi"),
            csat * std::exp(c.vbe / t) / t / bf + Gmin / bf + leak * std::exp(c.vbe / (ne * t)) / (ne * t),
            1e-6 * s.ask(q, "gpi"));
    }
}

TEST(Bjt, CommonEmitterStageConvergesFromAColdStart)
{
    // Bias network, emitter degeneration and series resistances: the collector current follows
    // from the base divider within the junction drop.
    Simulation s;
    ASSERT_EQ(s.option("reltol", 1e-6), 0);
    s.add("Vsource", "vcc", { "vcc", "0" }, { { "dc", 12 } });
    s.add("Resistor", "r1", { "vcc", "b" }, { { "resistance", 47e3 } });
    s.add("Resistor", "r2", { "b", "0" }, { { "resistance", 10e3 } });
    s.add("Resistor", "rc", { "vcc", "c" }, { { "resistance", 4.7e3 } });
    s.add("Resistor", "re", { "e", "0" }, { { "resistance", 1e3 } });
    IFinstance* q = s.add("BJT", "q1", { "c", "b", "e" });
    for (auto [keyword, value] :
        { std::pair { "is", 1e-14 }, { "bf", 200.0 }, { "vaf", 100.0 }, { "rb", 100.0 }, { "re", 1.0 },
            { "rc", 10.0 }, { "cje", 10e-12 }, { "cjc", 5e-12 }, { "tf", 0.3e-9 } })
        ASSERT_EQ(modelparm(s, "BJT", keyword, value), 0) << keyword;
    ASSERT_EQ(s.run(), 0) << s.message(s.run());
    const double ie = s.v("e") / 1e3;
    EXPECT_NEAR(s.ask(q, "ie"), -ie, 1e-9);
    EXPECT_NEAR(s.ask(q, "ic"), (12 - s.v("c")) / 4.7e3, 1e-9);
    EXPECT_NEAR(s.ask(q, "ib"), (12 - s.v("b")) / 47e3 - s.v("b") / 10e3, 1e-9);
    EXPECT_GT(s.v("b") - s.v("e"), 0.55);
    EXPECT_LT(s.v("b") - s.v("e"), 0.75);
    EXPECT_GT(s.ask(q, "ic"), 150 * s.ask(q, "ib"));
    EXPECT_NEAR(s.ask(q, "p"),
        s.ask(q, "ic") * (s.v("c") - s.v("e")) + s.ask(q, "ib") * (s.v("b") - s.v("e")), 1e-12);
}

namespace {

// A field-effect transistor of `type` ("JFET", "MES") between fixed drain and gate voltages with its
// source grounded; the model's parameters set by keyword, its polarity flag by name.
IFinstance* biasedfet(Simulation& s, const char* type, const char* flag, double vgs, double vds,
    double celsius, std::initializer_list<std::pair<const char*, double>> parameters)
{
    s.add("Vsource", "vg", { "g", "0" }, { { "dc", vgs } });
    s.add("Vsource", "vd", { "d", "0" }, { { "dc", vds } });
    IFinstance* f = s.add(type, "f1", { "d", "g", "0" }, { { "temp", celsius } });
    for (const auto& [keyword, value] : parameters)
        EXPECT_EQ(modelparm(s, type, keyword, value), 0) << keyword;
    const int32_t kind = nerithtest::findtype(s.d, type);
    IFmodel* model = nullptr;
    EXPECT_EQ(s.d->newModel(s.ckt, kind, &model, (std::string("default_") + type).c_str()), 0);
    const IFdevice* device = s.d->devices[kind];
    IFvalue one {};
    one.iValue = 1;
    EXPECT_EQ(s.d->setModelParm(s.ckt, model,
                  nerithtest::findparm(device->modelParms, device->numModelParms, flag)->id, &one, nullptr),
        0);
    return f;
}

// The gate diode's current at v with saturation current csat (GMIN included).
double gatediode(double v, double csat, double t)
{
    return v <= -5 * t ? (-csat / v + Gmin) * v : csat * (std::exp(v / t) - 1) + Gmin * v;
}

} // namespace

TEST(Jfet, DrainAndGateCurrentsMatchTheSquareLawAcrossTemperature)
{
    struct Case {
        double vgs, vds, celsius, polarity;
    } cases[] = {
        { -0.5, 5, 27, 1 }, // saturated
        { -0.5, 0.5, 27, 1 }, // linear
        { 0.3, 2, 27, 1 }, // gate forward biased
        { -1, -1, 27, 1 }, // reverse operation: drain and source exchanged
        { -0.5, 5, 27, -1 }, // P channel
        { -0.8, 3, 125, 1 }, // gate leakage raised by temperature
        { -3, 5, 27, 1 }, // pinched off
    };
    const double vto = -2, beta = 1e-3, lambda = 0.02, is = 1e-14;
    for (const Case& c : cases) {
        Simulation s;
        IFinstance* j
            = biasedfet(s, "JFET", c.polarity > 0 ? "njf" : "pjf", c.polarity * c.vgs, c.polarity * c.vds,
                c.celsius, { { "vto", vto }, { "beta", beta }, { "lambda", lambda }, { "is", is } });
        ASSERT_EQ(s.run(), 0) << s.message(s.run());
        const double kelvin = c.celsius + nerith::KelvinOffset;
        const double ratio = kelvin / (27 + nerith::KelvinOffset);
        const double t = vt(c.celsius);
        const double csat = is * std::exp((ratio - 1) * 1.11 / t + 3 * std::log(ratio));
        const double vgd = c.vgs - c.vds;
        // Forward operation by the square law; reverse with drain and source exchanged.
        auto channel = [&](double vgst, double vds) {
            if (vgst <= 0)
                return 0.0;
            const double stretch = beta * (1 + lambda * vds);
            return vgst <= vds ? stretch * vgst * vgst : stretch * vds * (2 * vgst - vds);
        };
        const double ich = c.vds >= 0 ? channel(c.vgs - vto, c.vds) : -channel(vgd - vto, -c.vds);
        const double igs = gatediode(c.vgs, csat, t);
        const double igd = gatediode(vgd, csat, t);
        const double id = ich - igd;
        const double ig = igs + igd;
        EXPECT_NEAR(s.ask(j, "id"), c.polarity * id, 1e-9 * std::fabs(id) + 1e-18) << c.vgs << " " << c.vds;
        EXPECT_NEAR(s.ask(j, "ig"), c.polarity * ig, 1e-9 * std::fabs(ig) + 1e-18) << c.vgs << " " << c.vds;
        EXPECT_NEAR(s.ask(j, "is"), -c.polarity * (id + ig), 1e-9 * std::fabs(id + ig) + 1e-18);
        EXPECT_NEAR(s.ask(j, "p"), id * c.vds + ig * c.vgs, 1e-9 * std::fabs(id * c.vds) + 1e-18);
    }
}

TEST(Mesfet, DrainCurrentFollowsTheCubicKneeAndTheTail)
{
    struct Case {
        double vgs, vds, polarity;
    } cases[] = {
        { 0, 2, 1 }, // saturated: VDS above 3 / ALPHA
        { 0, 0.4, 1 }, // inside the knee
        { -0.5, 0.2, -1 }, // P channel
        { -0.3, -0.4, 1 }, // reverse operation
        { -1.5, 2, 1 }, // pinched off
    };
    const double vto = -1, alpha = 3, beta = 5e-3, lambda = 0.05, b = 0.3, is = 1e-14;
    for (const Case& c : cases) {
        Simulation s;
        IFinstance* z
            = biasedfet(s, "MES", c.polarity > 0 ? "nmf" : "pmf", c.polarity * c.vgs, c.polarity * c.vds, 27,
                { { "vto", vto }, { "alpha", alpha }, { "beta", beta }, { "lambda", lambda }, { "b", b },
                    { "is", is } });
        ASSERT_EQ(s.run(), 0) << s.message(s.run());
        const double t = vt(27);
        auto channel = [&](double vgst, double vds) {
            if (vgst <= 0)
                return 0.0;
            const double full = beta * (1 + lambda * vds) * vgst * vgst / (1 + b * vgst);
            const double knee = vds >= 3 / alpha ? 1 : 1 - std::pow(1 - alpha * vds / 3, 3);
            return full * knee;
        };
        const double vgd = c.vgs - c.vds;
        const double ich = c.vds >= 0 ? channel(c.vgs - vto, c.vds) : -channel(vgd - vto, -c.vds);
        const double id = ich - gatediode(vgd, is, t);
        EXPECT_NEAR(s.ask(z, "id"), c.polarity * id, 1e-9 * std::fabs(id) + 1e-18) << c.vgs << " " << c.vds;
        EXPECT_NEAR(s.ask(z, "ig"), c.polarity * (gatediode(c.vgs, is, t) + gatediode(vgd, is, t)), 1e-18);
    }
}

TEST(FieldEffect, UnusableValuesAreRefusedNamingTheDevice)
{
    struct Case {
        const char* type;
        const char* flag;
        const char* keyword;
        double value;
    } cases[] = {
        { "JFET", "njf", "is", 0 },
        { "JFET", "njf", "beta", -1 },
        { "JFET", "njf", "pb", 0 },
        { "MES", "nmf", "alpha", 0 },
        { "MES", "nmf", "pb", 0.3 },
        { "MES", "nmf", "rd", -5 },
        { "MES", "nmf", "tnom", -300 },
    };
    for (const Case& c : cases) {
        Simulation s;
        biasedfet(s, c.type, c.flag, 0, 1, 27, { { c.keyword, c.value } });
        const int code = s.run();
        EXPECT_NE(code, 0) << c.type << " " << c.keyword;
        EXPECT_NE(s.message(code).find("f1"), std::string::npos) << s.message(code);
    }
    Simulation s;
    IFinstance* q = s.add("BJT", "qbad", { "c", "b", "0" }, { { "area", 0 } });
    s.add("Vsource", "vb", { "b", "0" }, { { "dc", 0.7 } });
    s.add("Vsource", "vc", { "c", "0" }, { { "dc", 1 } });
    ASSERT_NE(q, nullptr);
    const int code = s.run();
    EXPECT_NE(code, 0);
    EXPECT_NE(s.message(code).find("qbad"), std::string::npos) << s.message(code);
}

TEST(Diode, TransientWithUicStartsFromTheInitialConditions)
{
    // A capacitor charged to 2 V discharges through a diode with series resistance: no operating
    // point is solved (the first point holds the nodes' conditions, none here), the diode starts
    // from its own initial voltage, and from the capacitor's charge the voltage only falls.
    Simulation s;
    s.add("Capacitor", "c1", { "a", "0" }, { { "capacitance", 1e-6 }, { "ic", 2 } });
    IFinstance* d = s.add("Diode", "d1", { "a", "0" }, { { "ic", 0.6 } });
    ASSERT_EQ(modelparm(s, "Diode", "rs", 100), 0);
    ASSERT_EQ(modelparm(s, "Diode", "cjo", 10e-12), 0);
    s.transient({ { "tstop", 1e-3 }, { "tmax", 1e-5 } }, true);
    ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
    const nerithtest::Plot& plot = nerithtest::frontend().plots.back();
    const int a = s.column(plot, "a");
    ASSERT_GE(a, 0);
    ASSERT_GT(plot.points.size(), 10u);
    double last = 2;
    for (const auto& [time, values] : std::span(plot.points).subspan(1)) {
        EXPECT_LE(values[static_cast<std::size_t>(a)], last + 1e-9) << time;
        last = values[static_cast<std::size_t>(a)];
    }
    EXPECT_LT(last, 0.6);
    EXPECT_GT(last, 0.3);
    EXPECT_GT(s.ask(d, "id"), 0);
}
