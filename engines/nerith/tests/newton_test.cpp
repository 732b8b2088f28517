// Newton-Raphson and its stepping aids on a nonlinear circuit. The engine has no nonlinear device
// yet, so the test brings an exponential junction of its own as a device family.
#include "engines/nerith/devices/family.h"
#include "engines/nerith/tests/simulation.h"

#include <cmath>
#include <memory>

using nerithtest::Simulation;

namespace {

constexpr double Is = 1e-14;
constexpr double Vt = 0.025852;

// i = Is (exp(v / Vt) - 1) from anode to cathode, optionally with the usual junction limiting.
struct Junction {
    static constexpr bool Linear = false;
    static inline bool limiting = true;
    struct Model : IFmodel { };
    struct Hot {
        int32_t nodes[2];
        double last;
        std::array<int32_t, 4> cells;
    };
    struct Instance : nerith::Bindable<Hot> { };
    static constexpr auto parameters = nerith::parametertable<Instance>();
    static constexpr auto modelparameters = nerith::parametertable<Model>();
    static int check(IFcircuit&, const Instance&, Hot&) { return 0; }
    static int bind(IFcircuit& ckt, Instance& d, Hot& h)
    {
        if (int code = nerith::terminalnumbers(ckt, d, 2, h.nodes))
            return code;
        h.cells = nerith::conductanceplaces(ckt.matrix, h.nodes[0], h.nodes[1]);
        return 0;
    }
    static double limited(double now, double before)
    {
        const double critical = Vt * std::log(Vt / (std::sqrt(2.0) * Is));
        if (now <= critical || std::fabs(now - before) <= 2 * Vt)
            return now;
        if (before > 0) {
            const double arg = 1 + (now - before) / Vt;
            return arg > 0 ? before + Vt * std::log(arg) : critical;
        }
        return Vt * std::log(now / Vt);
    }
    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        for (Hot& d : list) {
            double v = ckt.solution[static_cast<std::size_t>(d.nodes[0])]
                - ckt.solution[static_cast<std::size_t>(d.nodes[1])];
            if (ckt.mode & MODE_INITJCT)
                v = 0;
            if (limiting) {
                const double bounded = limited(v, d.last);
                if (bounded != v)
                    ++ckt.noncon;
                v = bounded;
            }
            d.last = v;
            const double e = std::exp(v / Vt);
            const double g = Is * e / Vt + ckt.options.gmin;
            const double current = Is * (e - 1) + ckt.options.gmin * v;
            const double equivalent = current - g * v;
            nerith::stampconductance(ckt.matrix.stamps(), d.cells.data(), g);
            ckt.rhs[static_cast<std::size_t>(d.nodes[0])] -= equivalent;
            ckt.rhs[static_cast<std::size_t>(d.nodes[1])] += equivalent;
        }
    }
    static void topology(nerith::Topology& topology, const Instance&, const Hot& d)
    {
        topology.conducts(d.nodes[0], d.nodes[1]);
    }
};

// A source of `volts` through 1 kohm into a junction to ground.
void rectifier(Simulation& s, double volts)
{
    s.add("Vsource", "v1", { "in", "0" }, { { "dc", volts } });
    s.add("Resistor", "r1", { "in", "d" }, { { "resistance", 1e3 } });
    auto& families = s.ckt->families;
    auto family = std::make_unique<nerith::Family<Junction>>(static_cast<int32_t>(families.size()));
    IFinstance* junction = family->newinstance(family->newmodel("junction"), "d1");
    IFcircuit::connect(*junction, 0, static_cast<nerith::Node*>(s.node("d")));
    IFcircuit::connect(*junction, 1, static_cast<nerith::Node*>(s.node("0")));
    families.push_back(std::move(family));
}

// The junction voltage where the resistor's current equals the junction's, by bisection.
double exact(double volts)
{
    double low = 0;
    double high = std::min(volts, 1.5);
    for (int i = 0; i < 200; ++i) {
        const double v = (low + high) / 2;
        const double excess = (volts - v) / 1e3 - Is * std::expm1(v / Vt) - 1e-12 * v;
        (excess > 0 ? low : high) = v;
    }
    return (low + high) / 2;
}

bool mentions(const char* text)
{
    for (const std::string& message : nerithtest::frontend().messages) {
        if (message.find(text) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

TEST(Newton, LimitedJunctionConvergesDirectly)
{
    Junction::limiting = true;
    for (double volts : { 0.3, 5.0, 100.0 }) {
        Simulation s;
        rectifier(s, volts);
        ASSERT_EQ(s.option("reltol", 1e-6), 0);
        ASSERT_EQ(s.run(), 0) << volts;
        EXPECT_NEAR(s.v("d"), exact(volts), 1e-9) << volts;
        EXPECT_FALSE(mentions("stepping")) << volts;
    }
}

TEST(Newton, SteppingRescuesWhatDirectIterationCannot)
{
    // Unlimited, the junction creeps down by about Vt an iteration: too slow for the limit.
    Junction::limiting = false;
    struct Case {
        const char* what;
        int32_t gminsteps;
        int32_t srcsteps;
        const char* tried;
        const char* skipped;
    };
    for (const Case& c : { Case { "gmin stepping", 120, 0, "gmin stepping", "source stepping" },
             Case { "source stepping", 0, 120, "source stepping", "gmin stepping" } }) {
        Simulation s;
        rectifier(s, 20);
        ASSERT_EQ(s.option("reltol", 1e-6), 0);
        ASSERT_EQ(s.optioninteger("itl1", 40), 0);
        ASSERT_EQ(s.optioninteger("gminsteps", c.gminsteps), 0);
        ASSERT_EQ(s.optioninteger("srcsteps", c.srcsteps), 0);
        ASSERT_EQ(s.run(), 0) << c.what << ": " << s.message(E_ITERLIM);
        EXPECT_NEAR(s.v("d"), exact(20), 1e-9) << c.what;
        EXPECT_TRUE(mentions(c.tried)) << c.what;
        EXPECT_FALSE(mentions(c.skipped)) << c.what;
    }

    Simulation s;
    rectifier(s, 20);
    ASSERT_EQ(s.optioninteger("itl1", 40), 0);
    ASSERT_EQ(s.optioninteger("gminsteps", 0), 0);
    ASSERT_EQ(s.optioninteger("srcsteps", 0), 0);
    EXPECT_EQ(s.run(), E_ITERLIM);
    EXPECT_STREQ(s.d->nonconvErr(s.ckt), "node d");
    Junction::limiting = true;
}
