// The DC transfer curve and the transfer function through the descriptor, against hand-solved
// circuits.
#include "engines/nerith/tests/simulation.h"

#include <cmath>

using nerithtest::frontend;
using nerithtest::instance;
using nerithtest::real;
using nerithtest::Simulation;

namespace {

// A 10 V source on a divider of 1k over 3k.
void divider(Simulation& s)
{
    s.add("Vsource", "v1", { "in", "0" }, { { "dc", 10 } });
    s.add("Resistor", "r1", { "in", "out" }, { { "resistance", 1e3 } });
    s.add("Resistor", "r2", { "out", "0" }, { { "resistance", 3e3 } });
}

IFtask* sweep(Simulation& s, const char* device, double start, double stop, double step)
{
    return s.analysis("DC",
        { { "name1", instance(device) }, { "start1", real(start) }, { "stop1", real(stop) },
            { "step1", real(step) } });
}

// The node's values over the last plot.
std::vector<double> curve(Simulation& s, const char* node)
{
    const nerithtest::Plot& plot = frontend().plots.back();
    const int column = s.column(plot, node);
    EXPECT_GE(column, 0) << node;
    std::vector<double> values;
    for (const auto& point : plot.points)
        values.push_back(point.second.at(static_cast<std::size_t>(column)));
    return values;
}

} // namespace

TEST(DcTransfer, DividerFollowsItsSourceAndItsResistor)
{
    Simulation s;
    divider(s);
    // Down from 5 V to -5 V: the curve runs the way its step points.
    IFtask* task = sweep(s, "v1", 5, -5, -0.5);
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_BADVALUE);
    const nerithtest::Plot& plot = frontend().plots.back();
    EXPECT_EQ(plot.reference, "sweep");
    EXPECT_TRUE(plot.ended);
    ASSERT_EQ(plot.points.size(), 21u);
    const std::vector<double> out = curve(s, "out");
    for (std::size_t k = 0; k < out.size(); ++k) {
        const double vin = 5 - 0.5 * static_cast<double>(k);
        EXPECT_NEAR(plot.points[k].first, vin, 1e-12);
        EXPECT_NEAR(out[k], 0.75 * vin, 1e-9) << vin;
    }

    // The lower resistor from 1k to 5k.
    task = sweep(s, "r2", 1e3, 5e3, 1e3);
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0);
    const std::vector<double> divided = curve(s, "out");
    ASSERT_EQ(divided.size(), 5u);
    for (std::size_t k = 0; k < divided.size(); ++k) {
        const double r2 = 1e3 * static_cast<double>(k + 1);
        EXPECT_NEAR(divided[k], 10 * r2 / (1e3 + r2), 1e-9) << r2;
    }
    // The swept devices are as they were: the operating point sees 10 V on 1k over 3k.
    ASSERT_EQ(s.run(), 0);
    EXPECT_NEAR(s.v("out"), 7.5, 1e-9);
}

TEST(DcTransfer, SecondSourceStepsAroundTheFirstInDomains)
{
    Simulation s;
    divider(s);
    // 0 to 2 mA drawn out of the divider's output.
    s.add("Isource", "i1", { "out", "0" }, { { "dc", 0 } });
    IFtask* task = sweep(s, "v1", 0, 10, 2.5);
    for (const auto& [keyword, value] : { std::pair<const char*, IFvalue> { "name2", instance("i1") },
             { "start2", real(0) }, { "stop2", real(2e-3) }, { "step2", real(1e-3) } })
        ASSERT_EQ(s.setanalysis(keyword, value), 0) << keyword;
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_BADVALUE);
    const nerithtest::Plot& plot = frontend().plots.back();
    ASSERT_EQ(plot.points.size(), 15u);
    EXPECT_EQ(
        plot.domains, (std::vector<std::pair<std::size_t, double>> { { 0, 0 }, { 5, 1e-3 }, { 10, 2e-3 } }));
    EXPECT_EQ(plot.domainends, (std::vector<std::size_t> { 5, 10, 15 }));
    const std::vector<double> out = curve(s, "out");
    for (std::size_t k = 0; k < out.size(); ++k) {
        const double vin = 2.5 * static_cast<double>(k % 5);
        const double drawn = 1e-3 * static_cast<double>(k / 5);
        // Thevenin: 0.75 vin behind 750 ohm.
        EXPECT_NEAR(out[k], 0.75 * vin - 750 * drawn, 1e-9) << k;
    }
}

TEST(DcTransfer, SweepsThatCannotRunAreRefusedWithTheirReason)
{
    struct Case {
        const char* device;
        double start, stop, step;
        const char* reason;
    };
    const Case cases[] = {
        { "nothing", 0, 1, 0.1, "there is no device nothing to sweep" },
        { "c1", 0, 1, 0.1, "c1 is not a voltage source, a current source or a resistor" },
        { "v1", 0, 1, 0, "a step of 0 does not lead v1 from 0 to 1" },
        { "v1", 0, 1, -0.1, "a step of -0.1 does not lead v1 from 0 to 1" },
        { "v1", 0, NAN, 0.1, "has a value that is no number" },
    };
    for (const Case& c : cases) {
        Simulation s;
        divider(s);
        s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 1e-9 } });
        IFtask* task = sweep(s, c.device, c.start, c.stop, c.step);
        const int code = s.d->doAnalyses(s.ckt, 1, task);
        EXPECT_EQ(code, E_BADVALUE) << c.reason;
        EXPECT_NE(s.message(code).find(c.reason), std::string::npos) << s.message(code);
    }
    Simulation s;
    divider(s);
    IFtask* task = s.analysis("DC", {});
    const int code = s.d->doAnalyses(s.ckt, 1, task);
    EXPECT_NE(s.message(code).find("no source or resistor to sweep"), std::string::npos) << s.message(code);
}

TEST(TransferFunction, GainAndImpedancesOfADivider)
{
    struct Case {
        const char* input;
        const char* outsrc; // null: the voltage at out
        double gain, in, out;
    };
    // A 1 A current source into out sees 1k over 3k in parallel; a 0 V source in series with r2
    // measures its current.
    const Case cases[] = {
        { "v1", nullptr, 0.75, 4e3, 750 },
        { "i1", nullptr, 750, 750, 750 },
        { "v1", "vsense", 1 / 4e3, 4e3, 4e3 },
    };
    for (const Case& c : cases) {
        Simulation s;
        s.add("Vsource", "v1", { "in", "0" }, { { "dc", 10 } });
        s.add("Resistor", "r1", { "in", "out" }, { { "resistance", 1e3 } });
        s.add("Resistor", "r2", { "out", "sense" }, { { "resistance", 3e3 } });
        s.add("Vsource", "vsense", { "sense", "0" }, { { "dc", 0 } });
        s.add("Isource", "i1", { "0", "out" }, { { "dc", 0 } });
        IFtask* task = s.analysis("TF", { { "insrc", instance(c.input) } });
        if (c.outsrc)
            ASSERT_EQ(s.setanalysis("outsrc", instance(c.outsrc)), 0);
        else
            ASSERT_EQ(s.setanalysis("outpos", s.nodevalue("out")), 0);
        ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_BADVALUE);
        const nerithtest::Plot& plot = frontend().plots.back();
        ASSERT_EQ(plot.names.size(), 3u);
        EXPECT_STREQ(plot.names[0], "Transfer_function");
        EXPECT_EQ(std::string(plot.names[1]), std::string("#") + c.input + "#Input_impedance");
        ASSERT_EQ(plot.points.size(), 1u);
        const std::vector<double>& values = plot.points[0].second;
        // The sense current flows into its positive terminal, from r2.
        EXPECT_NEAR(values[0], c.gain, 1e-12 * std::fabs(c.gain)) << c.input;
        EXPECT_NEAR(values[1], c.in, 1e-9 * c.in) << c.input;
        EXPECT_NEAR(values[2], c.out, 1e-9 * c.out) << c.input;
    }
}

TEST(TransferFunction, SourcesItCannotUseAreRefusedWithTheirRole)
{
    struct Case {
        const char* insrc; // null: none given
        const char* outsrc;
        const char* reason;
    };
    const Case cases[] = {
        { "r1", "vsense", "the input r1 is no voltage or current source" },
        { "nothere", "vsense", "the input nothere is no voltage or current source" },
        { nullptr, "vsense", "the input (none given) is no voltage or current source" },
        { "v1", "i1", "the output i1 is no voltage source" },
        { "v1", "r1", "the output r1 is no voltage source" },
    };
    for (const Case& c : cases) {
        Simulation s;
        s.add("Vsource", "v1", { "in", "0" }, { { "dc", 10 } });
        s.add("Resistor", "r1", { "in", "sense" }, { { "resistance", 1e3 } });
        s.add("Vsource", "vsense", { "sense", "0" }, { { "dc", 0 } });
        s.add("Isource", "i1", { "0", "in" }, { { "dc", 0 } });
        IFtask* task = s.analysis("TF", { { "outsrc", instance(c.outsrc) } });
        if (c.insrc) {
            ASSERT_EQ(s.setanalysis("insrc", instance(c.insrc)), 0);
        }
        const int code = s.d->doAnalyses(s.ckt, 1, task);
        EXPECT_EQ(code, E_BADVALUE) << c.reason;
        EXPECT_NE(s.message(code).find(c.reason), std::string::npos) << s.message(code);
    }
}
