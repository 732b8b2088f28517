// The AC analysis through the descriptor, checked against closed-form transfer functions.
#include "engines/nerith/tests/simulation.h"

#include <cmath>
#include <complex>
#include <numbers>

using nerithtest::frontend;
using nerithtest::integer;
using nerithtest::real;
using nerithtest::Simulation;

namespace {

using Complex = std::complex<double>;
constexpr double Pi = std::numbers::pi;

IFvalue flag()
{
    return integer(1);
}

// The node's phasor at every point of the last plot.
std::vector<Complex> phasors(Simulation& s, const char* node)
{
    const nerithtest::Plot& plot = frontend().plots.back();
    const int column = s.column(plot, node);
    EXPECT_GE(column, 0) << node;
    std::vector<Complex> values;
    for (std::size_t k = 0; k < plot.points.size(); ++k)
        values.push_back(plot.at(k, static_cast<std::size_t>(column)));
    return values;
}

std::vector<double> frequencies()
{
    std::vector<double> list;
    for (const auto& point : frontend().plots.back().points)
        list.push_back(point.first);
    return list;
}

} // namespace

TEST(Ac, RcLowPassHasTheClosedFormMagnitudeAndPhase)
{
    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "in", "0" }, { { "dc", 2 }, { "acmag", 1 } });
    s.add("Resistor", "r1", { "in", "out" }, { { "resistance", 1e3 } });
    s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 1e-6 } });
    IFtask* task = s.analysis("AC",
        { { "fstart", real(1) }, { "fstop", real(1e6) }, { "numsteps", integer(10) }, { "dec", flag() } });
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_SINGULAR);

    const nerithtest::Plot& plot = frontend().plots.back();
    EXPECT_EQ(plot.type, IF_COMPLEX);
    EXPECT_EQ(plot.reference, "frequency");
    EXPECT_TRUE(plot.ended);
    const std::vector<double> f = frequencies();
    ASSERT_EQ(f.size(), 61u);
    const std::vector<Complex> out = phasors(s, "out");
    const double tau = 1e-3;
    for (std::size_t k = 0; k < f.size(); ++k) {
        EXPECT_NEAR(f[k], std::pow(10.0, k / 10.0), 1e-12 * f[k]);
        const Complex expected = 1.0 / Complex(1, 2 * Pi * f[k] * tau);
        EXPECT_NEAR(std::abs(out[k]), std::abs(expected), 1e-12) << f[k];
        EXPECT_NEAR(std::arg(out[k]), std::arg(expected), 1e-12) << f[k];
    }
    // The phase rotates the source and so the response.
    ASSERT_EQ(s.set(v1, "acphase", 90), 0);
    ASSERT_EQ(s.set(v1, "acmag", 2), 0);
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0);
    const std::vector<Complex> turned = phasors(s, "out");
    for (std::size_t k = 0; k < f.size(); ++k)
        EXPECT_NEAR(std::abs(turned[k] - Complex(0, 2) * out[k]), 0, 1e-12);
}

TEST(Ac, SweepsSpaceTheirPoints)
{
    struct Case {
        const char* spacing;
        double start, stop;
        int32_t points;
        std::vector<double> expected;
    };
    const Case cases[] = {
        { "lin", 100, 500, 5, { 100, 200, 300, 400, 500 } },
        { "lin", 100, 100, 1, { 100 } },
        { "oct", 1e3, 8e3, 1, { 1e3, 2e3, 4e3, 8e3 } },
        { "oct", 1e3, 7.9e3, 1, { 1e3, 2e3, 4e3 } },
        { "dec", 10, 1e3, 2, { 10, 10 * std::sqrt(10.0), 100, 100 * std::sqrt(10.0), 1e3 } },
        // The last point may pass the stop by less than RELTOL of a step.
        { "dec", 10, 99.99, 1, { 10, 100 } },
    };
    for (const Case& c : cases) {
        Simulation s;
        s.add("Vsource", "v1", { "in", "0" }, { { "acmag", 1 } });
        s.add("Resistor", "r1", { "in", "0" }, { { "resistance", 1 } });
        IFtask* task = s.analysis("AC",
            { { "fstart", real(c.start) }, { "fstop", real(c.stop) }, { "numsteps", integer(c.points) },
                { c.spacing, flag() } });
        ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << c.spacing;
        const std::vector<double> f = frequencies();
        ASSERT_EQ(f.size(), c.expected.size()) << c.spacing << " " << c.stop;
        for (std::size_t k = 0; k < f.size(); ++k)
            EXPECT_NEAR(f[k], c.expected[k], 1e-9 * c.expected[k]) << c.spacing << " " << k;
    }
}

TEST(Ac, InvalidSweepsAreRefusedWithTheirReason)
{
    struct Case {
        double start, stop;
        int32_t points;
        const char* spacing;
        const char* reason;
    };
    const Case cases[] = {
        { 0, 1e3, 10, "dec", "start frequency must be above 0 Hz" },
        { -5, 1e3, 10, "lin", "start frequency must be above 0 Hz" },
        { 1e3, 10, 10, "dec", "stop frequency 10 Hz lies below the start frequency 1000 Hz" },
        { 10, 1e3, 0, "dec", "number of points must be 1 or more, not 0" },
        { 10, 1e3, -3, "oct", "number of points must be 1 or more, not -3" },
        { 10, 1e3, 10, nullptr, "no sweep is chosen: DEC, OCT or LIN" },
    };
    for (const Case& c : cases) {
        Simulation s;
        s.add("Vsource", "v1", { "in", "0" }, { { "acmag", 1 } });
        s.add("Resistor", "r1", { "in", "0" }, { { "resistance", 1 } });
        IFtask* task = s.analysis("AC",
            { { "fstart", real(c.start) }, { "fstop", real(c.stop) }, { "numsteps", integer(c.points) } });
        if (c.spacing) {
            ASSERT_EQ(s.setanalysis(c.spacing, flag()), 0);
        }
        const int code = s.d->doAnalyses(s.ckt, 1, task);
        EXPECT_EQ(code, E_BADVALUE) << c.reason;
        EXPECT_NE(s.message(code).find(c.reason), std::string::npos) << s.message(code);
    }
}

TEST(Ac, LinearDevicesFollowTheirAdmittances)
{
    // A current source into a parallel RLC, a VCVS copying its voltage and a VCCS driving a
    // resistor from it: each node's phasor against the impedance of the tank.
    Simulation s;
    s.add("Isource", "i1", { "0", "tank" }, { { "acmag", 1e-3 }, { "acphase", 30 } });
    s.add("Resistor", "r1", { "tank", "0" }, { { "resistance", 1e3 } });
    s.add("Inductor", "l1", { "tank", "0" }, { { "inductance", 1e-3 } });
    s.add("Capacitor", "c1", { "tank", "0" }, { { "capacitance", 1e-9 } });
    s.add("VCVS", "e1", { "copy", "0", "tank", "0" }, { { "gain", -2 } });
    s.add("Resistor", "rcopy", { "copy", "0" }, { { "resistance", 50 } });
    s.add("VCCS", "g1", { "0", "driven", "tank", "0" }, { { "gain", 1e-3 } });
    s.add("Resistor", "rdriven", { "driven", "0" }, { { "resistance", 2e3 } });
    IFtask* task = s.analysis("AC",
        { { "fstart", real(1e4) }, { "fstop", real(1e7) }, { "numsteps", integer(20) }, { "dec", flag() } });
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0);
    const std::vector<double> f = frequencies();
    const std::vector<Complex> tank = phasors(s, "tank");
    const std::vector<Complex> copy = phasors(s, "copy");
    const std::vector<Complex> driven = phasors(s, "driven");
    const Complex current = std::polar(1e-3, 30 * Pi / 180);
    for (std::size_t k = 0; k < f.size(); ++k) {
        const double w = 2 * Pi * f[k];
        const Complex admittance = 1.0 / 1e3 + 1.0 / Complex(0, w * 1e-3) + Complex(0, w * 1e-9);
        const Complex v = current / admittance;
        EXPECT_NEAR(std::abs(tank[k] - v), 0, 1e-12 * std::abs(v) + 1e-15) << f[k];
        EXPECT_NEAR(std::abs(copy[k] + 2.0 * v), 0, 1e-12 * std::abs(v) + 1e-15) << f[k];
        EXPECT_NEAR(std::abs(driven[k] - 2.0 * v), 0, 1e-12 * std::abs(v) + 1e-15) << f[k];
    }
}
