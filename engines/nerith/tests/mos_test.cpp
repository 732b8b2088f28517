// MOSFETs in circuits through the engine's descriptor: terminal currents against the closed form,
// series resistance, the geometry options, refused values, the gate charge in a transient and a
// CMOS inverter of every level.
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/tests/simulation.h"

#include <cmath>
#include <string>

using nerithtest::Simulation;

namespace {

constexpr double Gmin = 1e-12;

struct Parameter {
    const char* keyword;
    double value;
};

// A model and its device type.
struct MosModel {
    IFmodel* model;
    int32_t kind;
};

// A model of `type` ("MOS1" ...) named `name`, its flag ("nmos", "pmos") and parameters set.
MosModel mosmodel(Simulation& s, const char* type, const char* name, const char* flag,
    std::initializer_list<Parameter> parameters)
{
    const int32_t kind = nerithtest::findtype(s.d, type);
    IFmodel* model = nullptr;
    EXPECT_EQ(s.d->newModel(s.ckt, kind, &model, name), 0);
    const IFdevice* device = s.d->devices[kind];
    auto id = [&](const char* keyword) {
        const IFparm* parm = nerithtest::findparm(device->modelParms, device->numModelParms, keyword);
        EXPECT_NE(parm, nullptr) << keyword;
        return parm ? parm->id : -1;
    };
    IFvalue one {};
    one.iValue = 1;
    EXPECT_EQ(s.d->setModelParm(s.ckt, model, id(flag), &one, nullptr), 0);
    for (const Parameter& p : parameters) {
        IFvalue v {};
        if (std::string(p.keyword) == "tpg")
            v.iValue = static_cast<int32_t>(p.value);
        else
            v.rValue = p.value;
        EXPECT_EQ(s.d->setModelParm(s.ckt, model, id(p.keyword), &v, nullptr), 0) << p.keyword;
    }
    return { model, kind };
}

// An instance of `model` on the drain, gate, source and bulk nodes, parameters by keyword.
IFinstance* mosfet(Simulation& s, const MosModel& model, const char* name,
    std::initializer_list<const char*> nodes, std::initializer_list<Parameter> parameters = {})
{
    IFinstance* instance = nullptr;
    EXPECT_EQ(s.d->newInstance(s.ckt, model.model, &instance, name), 0);
    int32_t terminal = 1;
    for (const char* node : nodes)
        EXPECT_EQ(s.d->bindNode(s.ckt, instance, terminal++, s.node(node)), 0);
    s.types[instance] = model.kind;
    for (const Parameter& p : parameters)
        EXPECT_EQ(s.set(instance, p.keyword, p.value), 0) << p.keyword;
    return instance;
}

// A bulk junction's current at v (GMIN included), as levels 1, 2 and 6 have it.
double bulkdiode(double v, double isat, double vt)
{
    return v <= -3 * vt ? Gmin * v - isat : isat * (std::exp(v / vt) - 1) + Gmin * v;
}

} // namespace

TEST(Mosfet, TerminalCurrentsMatchTheSquareLawAndTheBulkJunctions)
{
    struct Case {
        double vgs, vds, vbs, polarity;
        const char* region;
    } cases[] = {
        { 3, 4, 0, 1, "saturated" },
        { 3, 0.5, -1, 1, "linear with reverse body bias" },
        { 2.5, -1.5, -2, 1, "reverse operation: drain and source exchanged" },
        { 2, 3, 0.3, 1, "bulk junction forward biased" },
        { 3, 4, 0, -1, "P channel" },
        { 0.5, 4, -1, 1, "off" },
    };
    const double vto = 0.8, kp = 5e-5, gamma = 0.5, phi = 0.6, lambda = 0.02, is = 1e-14;
    const double w = 10e-6, l = 2e-6;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.region);
        Simulation s;
        const MosModel model = mosmodel(s, "MOS1", "m", c.polarity > 0 ? "nmos" : "pmos",
            { { "vto", c.polarity * vto }, { "kp", kp }, { "gamma", gamma }, { "phi", phi },
                { "lambda", lambda }, { "is", is } });
        s.add("Vsource", "vg", { "g", "0" }, { { "dc", c.polarity * c.vgs } });
        s.add("Vsource", "vd", { "d", "0" }, { { "dc", c.polarity * c.vds } });
        s.add("Vsource", "vb", { "b", "0" }, { { "dc", c.polarity * c.vbs } });
        IFinstance* m = mosfet(s, model, "m1", { "d", "g", "0", "b" }, { { "w", w }, { "l", l } });
        ASSERT_EQ(s.run(), 0) << s.message(s.run());

        const double vt = nerith::thermalvoltage(27 + nerith::KelvinOffset);
        // The channel in its own direction: the source is the lower of drain and source.
        auto channel = [&](double vgs, double vds, double vbs) {
            const double root = vbs <= 0 ? std::sqrt(phi - vbs) : std::sqrt(phi) - vbs / (2 * std::sqrt(phi));
            const double vgst = vgs - (vto - gamma * std::sqrt(phi) + gamma * root);
            if (vgst <= 0)
                return 0.0;
            const double beta = kp * w / l * (1 + lambda * vds);
            return vgst <= vds ? beta * vgst * vgst / 2 : beta * vds * (vgst - vds / 2);
        };
        const double vbd = c.vbs - c.vds;
        const double ich = c.vds >= 0 ? channel(c.vgs, c.vds, c.vbs) : -channel(c.vgs - c.vds, -c.vds, vbd);
        const double ibd = bulkdiode(vbd, is, vt);
        const double ibs = bulkdiode(c.vbs, is, vt);
        const double id = ich - ibd;
        const double tolerance = 1e-9 * std::fabs(ich) + 1e-16;
        EXPECT_NEAR(s.ask(m, "id"), c.polarity * id, tolerance);
        EXPECT_NEAR(s.ask(m, "ib"), c.polarity * (ibd + ibs), tolerance);
        EXPECT_NEAR(s.ask(m, "is"), -c.polarity * (id + ibd + ibs), tolerance);
        EXPECT_EQ(s.ask(m, "ig"), 0);
        EXPECT_NEAR(s.ask(m, "p"), id * c.vds + (ibd + ibs) * c.vbs, 1e-9 * std::fabs(id * c.vds) + 1e-16);
    }
}

TEST(Mosfet, SourceResistanceDegeneratesTheCurrentAndIsMadeAnewAfterARenumbering)
{
    Simulation s;
    const double kp = 1e-4, vto = 1, rs = 1e3, vg = 4;
    const MosModel model = mosmodel(s, "MOS1", "m", "nmos", { { "vto", vto }, { "kp", kp }, { "rs", rs } });
    s.add("Vsource", "vg", { "g", "0" }, { { "dc", vg } });
    s.add("Vsource", "vd", { "d", "0" }, { { "dc", 10 } });
    IFinstance* spare = s.add("Resistor", "rspare", { "d", "0" }, { { "resistance", 1e3 } });
    IFinstance* m = mosfet(s, model, "m1", { "d", "g", "0", "0" }, { { "w", 2e-6 }, { "l", 2e-6 } });
    // Saturated: id = beta / 2 (vg - id rs - vto)^2, the smaller root.
    const double beta = kp;
    const double a = beta * rs * rs / 2;
    const double b = -(beta * rs * (vg - vto) + 1);
    const double c = beta * (vg - vto) * (vg - vto) / 2;
    const double expected = (-b - std::sqrt(b * b - 4 * a * c)) / (2 * a);
    ASSERT_EQ(s.run(), 0) << s.message(s.run());
    EXPECT_NEAR(s.ask(m, "id"), expected, 1e-6 * expected);
    EXPECT_NEAR(s.ask(m, "vgs"), vg - expected * rs, 1e-6);
    ASSERT_EQ(s.d->deleteInstance(s.ckt, spare), 0);
    ASSERT_EQ(s.run(), 0) << s.message(s.run());
    EXPECT_NEAR(s.ask(m, "id"), expected, 1e-6 * expected);
}

TEST(Mosfet, TheOptionsGiveTheGeometryAnInstanceLeavesOut)
{
    Simulation s;
    const MosModel model = mosmodel(s, "MOS1", "m", "nmos", { { "vto", 1 }, { "kp", 1e-4 } });
    s.add("Vsource", "vg", { "g", "0" }, { { "dc", 3 } });
    s.add("Vsource", "vd", { "d", "0" }, { { "dc", 5 } });
    IFinstance* given = mosfet(s, model, "m1", { "d", "g", "0", "0" }, { { "w", 4e-6 }, { "l", 1e-6 } });
    IFinstance* defaulted = mosfet(s, model, "m2", { "d", "g", "0", "0" });
    ASSERT_EQ(s.option("defw", 8e-6), 0);
    ASSERT_EQ(s.option("defl", 4e-6), 0);
    ASSERT_EQ(s.run(), 0) << s.message(s.run());
    // The square law at W/L of 4 and 2, and the reverse-biased drain junction's leakage.
    const double leakage = 5 * Gmin + 1e-14;
    EXPECT_NEAR(s.ask(given, "id"), 1e-4 * 4 * 2 * 2 / 2 + leakage, 1e-15);
    EXPECT_NEAR(s.ask(defaulted, "id"), 1e-4 * 2 * 2 * 2 / 2 + leakage, 1e-15);
}

TEST(Mosfet, UnusableValuesAreRefusedNamingTheDeviceAndTheModel)
{
    const struct {
        const char* type;
        Parameter parameter;
        bool model;
        const char* message;
    } cases[] = {
        { "MOS1", { "phi", -0.5 }, true, "MOSFET m1: model m has an unusable surface potential PHI" },
        { "MOS1", { "ld", 1e-6 }, true, "MOSFET m1: model m has an unusable effective channel length" },
        { "MOS1", { "l", -1e-6 }, false, "MOSFET m1 has an unusable length L" },
        { "MOS1", { "m", 0 }, false, "MOSFET m1 has an unusable multiplier M" },
        { "MOS1", { "nsub", 1e5 }, true, "model m has an unusable substrate doping NSUB" },
        { "MOS2", { "neff", 0 }, true, "model m has an unusable level 2 parameter" },
        { "MOS3", { "tox", 0 }, true, "model m has an unusable oxide thickness TOX" },
        { "MOS3", { "wd", 1e-6 }, true, "model m has an unusable effective channel width" },
        { "MOS6", { "fc", 1 }, true, "model m has an unusable coefficient FC" },
    };
    for (const auto& c : cases) {
        Simulation s;
        const MosModel model = mosmodel(s, c.type, "m", "nmos", { { "tox", 20e-9 } });
        s.add("Vsource", "vd", { "d", "0" }, { { "dc", 1 } });
        IFinstance* m = mosfet(s, model, "m1", { "d", "d", "0", "0" }, { { "w", 2e-6 }, { "l", 2e-6 } });
        if (c.model) {
            const IFdevice* device = s.d->devices[model.kind];
            IFvalue v {};
            v.rValue = c.parameter.value;
            ASSERT_EQ(
                s.d->setModelParm(s.ckt, model.model,
                    nerithtest::findparm(device->modelParms, device->numModelParms, c.parameter.keyword)->id,
                    &v, nullptr),
                0);
        } else {
            ASSERT_EQ(s.set(m, c.parameter.keyword, c.parameter.value), 0);
        }
        const int code = s.run();
        EXPECT_NE(code, 0) << c.type << " " << c.parameter.keyword;
        EXPECT_NE(s.message(code).find(c.message), std::string::npos) << s.message(code);
    }
}

TEST(Mosfet, GateChargeInAccumulationIsTheOxideAndOverlapCapacitance)
{
    // The gate of an N channel device with everything else grounded, pulled to -5 V through a
    // resistor: accumulation from start to end, so the gate sees the whole oxide capacitance plus
    // the three overlaps, and charges as one RC, whether or not the device keeps its companion
    // through iterations where it stands still.
    const double tox = 20e-9, w = 100e-6, l = 10e-6, cgso = 2e-10, cgdo = 2e-10, cgbo = 1e-10, r = 1e5;
    const double c = 3.9 * 8.854214871e-12 / tox * w * l + (cgso + cgdo) * w + cgbo * l;
    const double tau = r * c;
    for (int bypass : { 0, 1 }) {
        SCOPED_TRACE(bypass ? "bypass" : "no bypass");
        Simulation s;
        const MosModel model = mosmodel(s, "MOS1", "m", "nmos",
            { { "vto", 1 }, { "kp", 5e-5 }, { "tox", tox }, { "cgso", cgso }, { "cgdo", cgdo },
                { "cgbo", cgbo } });
        IFinstance* vin = s.add("Vsource", "vin", { "in", "0" });
        ASSERT_EQ(s.set(vin, "pulse", std::vector<double> { 0, -5, 0, 1e-15, 1e-15, 1, 2 }), 0);
        s.add("Resistor", "r1", { "in", "g" }, { { "resistance", r } });
        mosfet(s, model, "m1", { "0", "g", "0", "0" }, { { "w", w }, { "l", l } });
        s.transient({ { "tstop", 3 * tau }, { "tmax", tau / 50 } });
        IFvalue flag {};
        flag.iValue = bypass;
        ASSERT_EQ(s.tranoption("bypass", flag), 0);
        ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
        const nerithtest::Plot& plot = nerithtest::frontend().plots.back();
        const int g = s.column(plot, "g");
        ASSERT_GT(plot.points.size(), 50u);
        for (const auto& [time, values] : plot.points) {
            if (time > 0.1 * tau) {
                EXPECT_NEAR(values[static_cast<std::size_t>(g)], -5 * (1 - std::exp(-time / tau)), 5e-3)
                    << time;
            }
        }
    }
}

TEST(Mosfet, EveryLevelMakesAnInverter)
{
    const struct {
        const char* type;
        std::initializer_list<Parameter> n, p;
    } levels[] = {
        { "MOS1", { { "vto", 0.8 }, { "kp", 5e-5 }, { "tox", 20e-9 } },
            { { "vto", -0.8 }, { "kp", 2e-5 }, { "tox", 20e-9 } } },
        { "MOS2", { { "vto", 0.8 }, { "nsub", 1e16 }, { "xj", 0.3e-6 }, { "uexp", 0.1 } },
            { { "vto", -0.8 }, { "nsub", 1e16 }, { "u0", 250 } } },
        { "MOS3", { { "vto", 0.8 }, { "nsub", 1e16 }, { "vmax", 1e5 }, { "theta", 0.05 }, { "eta", 0.02 } },
            { { "vto", -0.8 }, { "nsub", 1e16 }, { "u0", 250 } } },
        { "MOS6", { { "vto", 0.8 }, { "kc", 5e-5 }, { "tox", 20e-9 } },
            { { "vto", -0.8 }, { "kc", 2e-5 }, { "tox", 20e-9 } } },
    };
    for (const auto& level : levels) {
        SCOPED_TRACE(level.type);
        for (double input : { 0.0, 5.0 }) {
            Simulation s;
            const MosModel n = mosmodel(s, level.type, "n", "nmos", level.n);
            const MosModel p = mosmodel(s, level.type, "p", "pmos", level.p);
            s.add("Vsource", "vdd", { "vdd", "0" }, { { "dc", 5 } });
            s.add("Vsource", "vin", { "in", "0" }, { { "dc", input } });
            mosfet(s, p, "mp", { "out", "in", "vdd", "vdd" }, { { "w", 4e-6 }, { "l", 1e-6 } });
            mosfet(s, n, "mn", { "out", "in", "0", "0" }, { { "w", 2e-6 }, { "l", 1e-6 } });
            ASSERT_EQ(s.run(), 0) << s.message(s.run());
            EXPECT_NEAR(s.v("out"), 5 - input, 1e-3) << input;
        }
    }
}
