// The noise analysis through the descriptor, against the noise of a resistor (4kTR) and of a
// current-biased diode.
#include "engines/nerith/tests/simulation.h"

#include <cmath>

using nerithtest::frontend;
using nerithtest::instance;
using nerithtest::integer;
using nerithtest::real;
using nerithtest::Simulation;

namespace {

constexpr double Boltzmann = 1.38064852e-23;
constexpr double Charge = 1.6021766208e-19;

IFtask* noise(Simulation& s, double start, double stop, int32_t points, int32_t ptspersum)
{
    return s.analysis("NOISE",
        { { "output", s.nodevalue("out") }, { "input", instance("i1") }, { "fstart", real(start) },
            { "fstop", real(stop) }, { "numsteps", integer(points) }, { "dec", integer(1) },
            { "ptspersum", integer(ptspersum) } });
}

double value(const nerithtest::Plot& plot, std::size_t point, const char* name)
{
    const int column = plot.named(name);
    EXPECT_GE(column, 0) << name;
    return column < 0 ? 0 : plot.points.at(point).second.at(static_cast<std::size_t>(column));
}

} // namespace

TEST(Noise, ResistorGivesFourKTR)
{
    // 1 A into a resistor gives R volts: the output noise is 4kTR and, referred to that input,
    // 4kT / R. At 100 degrees its own temperature sets the noise.
    for (const double celsius : { 27.0, 100.0 }) {
        Simulation s;
        s.add("Isource", "i1", { "0", "out" }, { { "acmag", 1 } });
        auto* r1 = s.add("Resistor", "r1", { "out", "0" }, { { "resistance", 10e3 } });
        if (celsius != 27) {
            ASSERT_EQ(s.set(r1, "temp", celsius), 0);
        }
        IFtask* task = noise(s, 10, 1e5, 5, 1);
        ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_BADVALUE);
        const double fourkt = 4 * Boltzmann * (celsius + 273.15);
        ASSERT_EQ(frontend().plots.size(), 2u);
        const nerithtest::Plot& spectrum = frontend().plots[0];
        EXPECT_EQ(spectrum.reference, "frequency");
        EXPECT_EQ(spectrum.names.size(), 3u);
        ASSERT_EQ(spectrum.points.size(), 21u);
        for (std::size_t k = 0; k < spectrum.points.size(); ++k) {
            EXPECT_NEAR(value(spectrum, k, "onoise_spectrum"), fourkt * 10e3, 1e-9 * fourkt * 10e3);
            EXPECT_NEAR(value(spectrum, k, "onoise_r1"), fourkt * 10e3, 1e-9 * fourkt * 10e3);
            EXPECT_NEAR(value(spectrum, k, "inoise_spectrum"), fourkt / 10e3, 1e-9 * fourkt / 10e3);
        }
        const nerithtest::Plot& totals = frontend().plots[1];
        EXPECT_TRUE(totals.reference.empty());
        ASSERT_EQ(totals.points.size(), 1u);
        const double band = 1e5 - 10;
        EXPECT_NEAR(value(totals, 0, "onoise_total"), fourkt * 10e3 * band, 1e-9 * fourkt * 10e3 * band);
        EXPECT_NEAR(value(totals, 0, "onoise_total_r1"), fourkt * 10e3 * band, 1e-9 * fourkt * 10e3 * band);
        EXPECT_NEAR(value(totals, 0, "inoise_total"), fourkt / 10e3 * band, 1e-9 * fourkt / 10e3 * band);
        EXPECT_NEAR(value(totals, 0, "inoise_total_r1"), fourkt / 10e3 * band, 1e-9 * fourkt / 10e3 * band);
    }
}

TEST(Noise, DiodeShotAndFlickerNoiseAtItsIncrementalResistance)
{
    // 1 mA through a diode: its shot noise 2qI and flicker noise KF I / f, in series with nothing,
    // reach the output through the diode's own incremental resistance 1 / gd.
    Simulation s;
    s.add("Isource", "i1", { "0", "out" }, { { "dc", 1e-3 }, { "acmag", 1 } });
    int32_t kind = nerithtest::findtype(s.d, "Diode");
    IFmodel* model = nullptr;
    ASSERT_EQ(s.d->newModel(s.ckt, kind, &model, "dmod"), 0);
    const IFdevice* device = s.d->devices[kind];
    IFvalue kf = real(1e-12);
    ASSERT_EQ(s.d->setModelParm(s.ckt, model,
                  nerithtest::findparm(device->modelParms, device->numModelParms, "kf")->id, &kf, nullptr),
        0);
    IFinstance* d1 = nullptr;
    ASSERT_EQ(s.d->newInstance(s.ckt, model, &d1, "d1"), 0);
    ASSERT_EQ(s.d->bindNode(s.ckt, d1, 1, s.node("out")), 0);
    ASSERT_EQ(s.d->bindNode(s.ckt, d1, 2, s.node("0")), 0);
    s.types[d1] = kind;
    IFtask* task = noise(s, 1, 1e4, 1, 1);
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_BADVALUE);

    const double gd = s.ask(d1, "gd");
    const double id = s.ask(d1, "id");
    EXPECT_NEAR(id, 1e-3, 1e-8);
    const nerithtest::Plot& spectrum = frontend().plots[0];
    EXPECT_EQ(spectrum.names.size(), 6u); // d1_rs, d1_id, d1_1overf, d1, and the two spectra
    ASSERT_EQ(spectrum.points.size(), 5u);
    const double shot = 2 * Charge * id / (gd * gd);
    for (std::size_t k = 0; k < spectrum.points.size(); ++k) {
        const double f = spectrum.points[k].first;
        const double flicker = 1e-12 * id / f / (gd * gd);
        EXPECT_NEAR(value(spectrum, k, "onoise_d1_id"), shot, 1e-9 * shot) << f;
        EXPECT_NEAR(value(spectrum, k, "onoise_d1_1overf"), flicker, 1e-9 * flicker) << f;
        EXPECT_EQ(value(spectrum, k, "onoise_d1_rs"), 0);
        EXPECT_NEAR(value(spectrum, k, "onoise_d1"), shot + flicker, 1e-9 * (shot + flicker)) << f;
        EXPECT_NEAR(value(spectrum, k, "onoise_spectrum"), shot + flicker, 1e-9 * (shot + flicker)) << f;
    }
    // White and 1/f densities integrate exactly.
    const double integral = shot * (1e4 - 1) + 1e-12 * id / (gd * gd) * std::log(1e4);
    EXPECT_NEAR(value(frontend().plots[1], 0, "onoise_total"), integral, 1e-9 * integral);
}

TEST(Noise, WithoutSummariesOrInputOnlyTheOutputSpectrumIsGiven)
{
    Simulation s;
    s.add("Isource", "i1", { "0", "out" }, { { "acmag", 1 } });
    s.add("Resistor", "r1", { "out", "0" }, { { "resistance", 1e3 } });
    IFtask* task = s.analysis("NOISE",
        { { "output", s.nodevalue("out") }, { "fstart", real(1e3) }, { "fstop", real(1e3) },
            { "numsteps", integer(1) }, { "lin", integer(1) } });
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_BADVALUE);
    // One frequency: no totals.
    ASSERT_EQ(frontend().plots.size(), 1u);
    ASSERT_EQ(frontend().plots[0].names.size(), 1u);
    EXPECT_STREQ(frontend().plots[0].names[0], "onoise_spectrum");

    ASSERT_EQ(s.setanalysis("input", instance("r1")), 0);
    const int code = s.d->doAnalyses(s.ckt, 1, task);
    EXPECT_EQ(code, E_BADVALUE);
    EXPECT_NE(s.message(code).find("the input r1 is no voltage or current source"), std::string::npos);
}
