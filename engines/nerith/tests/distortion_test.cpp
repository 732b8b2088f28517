// The distortion analysis through the descriptor against the closed-form distortion of a diode
// driven by a current, and the Taylor arithmetic it rests on.
#include "engines/nerith/taylor.h"
#include "engines/nerith/tests/simulation.h"

#include <cmath>
#include <complex>

using nerith::Taylor;
using nerithtest::frontend;
using nerithtest::integer;
using nerithtest::real;
using nerithtest::Simulation;

namespace {

using Complex = std::complex<double>;

constexpr double Boltzmann = 1.38064852e-23;
constexpr double Charge = 1.6021766208e-19;

// 1 mA into a diode of emission coefficient 2, with a tone of 0.1 mA at F1 and one of 0.05 mA at F2
// on the source.
void diode(Simulation& s)
{
    auto* i1 = s.add("Isource", "i1", { "0", "a" }, { { "dc", 1e-3 } });
    EXPECT_EQ(s.set(i1, "distof1", std::vector<double> { 1e-4 }), 0);
    EXPECT_EQ(s.set(i1, "distof2", std::vector<double> { 5e-5, 90 }), 0);
    const int32_t kind = nerithtest::findtype(s.d, "Diode");
    IFmodel* model = nullptr;
    EXPECT_EQ(s.d->newModel(s.ckt, kind, &model, "dmod"), 0);
    const IFdevice* device = s.d->devices[kind];
    IFvalue n = real(2);
    EXPECT_EQ(s.d->setModelParm(s.ckt, model,
                  nerithtest::findparm(device->modelParms, device->numModelParms, "n")->id, &n, nullptr),
        0);
    IFinstance* d1 = nullptr;
    EXPECT_EQ(s.d->newInstance(s.ckt, model, &d1, "d1"), 0);
    EXPECT_EQ(s.d->bindNode(s.ckt, d1, 1, s.node("a")), 0);
    EXPECT_EQ(s.d->bindNode(s.ckt, d1, 2, s.node("0")), 0);
}

IFtask* disto(Simulation& s, double f2overf1)
{
    return s.analysis("DISTO",
        { { "start", real(1e3) }, { "stop", real(1e5) }, { "numsteps", integer(1) }, { "dec", integer(1) },
            { "f2overf1", real(f2overf1) } });
}

} // namespace

TEST(Distortion, DiodeDrivenByACurrentHasTheHarmonicsOfItsLogarithm)
{
    // v = n Vt ln(1 + i / Is): with i = I + A cos wt, the cosine at 2w has the amplitude
    // -n Vt A^2 / (4 I^2) and the one at 3w n Vt A^3 / (12 I^3).
    Simulation s;
    diode(s);
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, disto(s, 0)), 0) << s.message(E_BADVALUE);
    ASSERT_EQ(frontend().plots.size(), 2u);
    const double nvt = 2 * Boltzmann * 300.15 / Charge;
    const double current = 1e-3 + 1e-14;
    const double a = 1e-4;
    const Complex expected[]
        = { -nvt * a * a / (4 * current * current), nvt * a * a * a / (12 * current * current * current) };
    for (std::size_t p = 0; p < 2; ++p) {
        const nerithtest::Plot& plot = frontend().plots[p];
        EXPECT_EQ(plot.type, IF_COMPLEX);
        ASSERT_EQ(plot.points.size(), 3u);
        const auto column = static_cast<std::size_t>(s.column(plot, "a"));
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_NEAR(plot.points[k].first, std::pow(10.0, 3 + static_cast<double>(k)), 1e-6);
            EXPECT_NEAR(std::abs(plot.at(k, column) - expected[p]), 0, 1e-6 * std::abs(expected[p])) << p;
        }
    }
}

TEST(Distortion, DiodeDrivenByTwoTonesHasTheIntermodulationOfItsLogarithm)
{
    // With i = I + A cos w1 t + B cos(w2 t + phase): the amplitudes -n Vt A B / (2 I^2) at
    // w1 + w2 and at w1 - w2, and n Vt A^2 B / (4 I^3) at 2 w1 - w2, each with the phases of the
    // tones that make it.
    Simulation s;
    diode(s);
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, disto(s, 0.9)), 0) << s.message(E_BADVALUE);
    ASSERT_EQ(frontend().plots.size(), 3u);
    const double nvt = 2 * Boltzmann * 300.15 / Charge;
    const double current = 1e-3 + 1e-14;
    const double a = 1e-4;
    const Complex b = std::polar(5e-5, M_PI / 2);
    const Complex expected[]
        = { -nvt * a * b / (2 * current * current), -nvt * a * std::conj(b) / (2 * current * current),
              nvt * a * a * std::conj(b) / (4 * std::pow(current, 3)) };
    for (std::size_t p = 0; p < 3; ++p) {
        const nerithtest::Plot& plot = frontend().plots[p];
        const auto column = static_cast<std::size_t>(s.column(plot, "a"));
        for (std::size_t k = 0; k < plot.points.size(); ++k)
            EXPECT_NEAR(std::abs(plot.at(k, column) - expected[p]), 0, 1e-6 * std::abs(expected[p])) << p;
    }
}

TEST(Distortion, WithoutInputsItSaysWhichAreMissing)
{
    Simulation s;
    s.add("Isource", "i1", { "0", "a" }, { { "dc", 1e-3 } });
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1e3 } });
    IFtask* task = disto(s, 0);
    int code = s.d->doAnalyses(s.ckt, 1, task);
    EXPECT_NE(s.message(code).find("no source has a distortion input at F1 (DISTOF1)"), std::string::npos);
    Simulation t;
    diode(t);
    IFinstance* i1 = nullptr;
    ASSERT_EQ(t.d->findInstance(t.ckt, nullptr, &i1, "i1"), 0);
    t.types[i1] = nerithtest::findtype(t.d, "Isource");
    ASSERT_EQ(t.set(i1, "distof2", std::vector<double> { 0 }), 0);
    code = t.d->doAnalyses(t.ckt, 1, disto(t, 2));
    EXPECT_NE(t.message(code).find("no source has a distortion input at F2 (DISTOF2)"), std::string::npos);
}

TEST(Taylor, PolynomialsFollowTheFunctionsTheyExpand)
{
    // g(t) = f(p + t u) along a direction: its Taylor coefficients of order 2 and 3 in t against
    // finite differences, for a function using every operation.
    const double p[3] = { 0.3, -0.7, 0.2 };
    auto f = [](auto x, auto y, auto z) {
        using std::exp, std::log, std::pow, std::sqrt, std::tan;
        using nerith::exp, nerith::log, nerith::pow, nerith::sqrt, nerith::tan;
        return exp(x) * tan(x * y) + sqrt(2 + z) / (1 + x * x) - log(3 + y * z) + pow(1.5 + x, 2.5);
    };
    const Taylor t = f(Taylor::variable(0, p[0]), Taylor::variable(1, p[1]), Taylor::variable(2, p[2]));
    EXPECT_NEAR(t.value(), f(p[0], p[1], p[2]), 1e-14);
    const Taylor::Phasors u = { 0.5, -1.0, 2.0 };
    auto g
        = [&](double s) { return f(p[0] + s * u[0].real(), p[1] + s * u[1].real(), p[2] + s * u[2].real()); };
    const double h = 1e-3;
    const double second = (g(h) - 2 * g(0) + g(-h)) / (h * h) / 2;
    const double third = (g(2 * h) - 2 * g(h) + 2 * g(-h) - g(-2 * h)) / (2 * h * h * h) / 6;
    EXPECT_NEAR(t.at(2, u).real(), second, 1e-5 * std::fabs(second));
    EXPECT_NEAR(t.at(3, u).real(), third, 1e-4 * std::fabs(third));
    // The slope of a homogeneous part is its derivative along v, exact for these polynomials.
    const Taylor::Phasors v = { Complex(0.2, 1), Complex(-1, 0.5), Complex(0.3, -0.4) };
    auto along = [&](int order, double s) {
        return t.at(order, { u[0] + s * v[0], u[1] + s * v[1], u[2] + s * v[2] });
    };
    for (int order : { 2, 3 }) {
        const Complex slope
            = (8.0 * (along(order, 1) - along(order, -1)) - (along(order, 2) - along(order, -2))) / 12.0;
        EXPECT_NEAR(std::abs(t.slope(order, u, v) - slope), 0, 1e-12 * std::abs(slope)) << order;
    }
}
