// The deck runner on small decks: what it prints, and how it fails.
#include "host/deckrun/runner.h"
#include "host/deckrun/tests/rundeck.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

using decktest::contents;
using decktest::Result;
using decktest::rundeck;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> list;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        list.push_back(line);
    return list;
}

} // namespace

TEST(DeckRunner, PrintsTheVectorsOfItsPrintCards)
{
    const Result r = rundeck("RC step\n"
                             "V1 in 0 PULSE(0 2 1m 1u 1u 10m 20m)\n"
                             "R1 in out 1k ; the load\n"
                             "C1 out 0\n"
                             "+ 1u\n"
                             ".tran 0.1m 5m 2m\n"
                             ".print tran v(out) v(in, out) i(v1)\n"
                             ".end\n"
                             "R2 in 0 1k\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> text = lines(r.out);
    ASSERT_GT(text.size(), 10u);
    EXPECT_EQ(text.front(), "time v(out) v(in,out) i(v1)");
    double time = 0, out = 0, across = 0, current = 0;
    ASSERT_EQ(std::sscanf(text[1].c_str(), "%lf %lf %lf %lf", &time, &out, &across, &current), 4);
    EXPECT_EQ(time, 2e-3); // output from TSTART on
    ASSERT_EQ(std::sscanf(text.back().c_str(), "%lf %lf %lf %lf", &time, &out, &across, &current), 4);
    EXPECT_EQ(time, 5e-3);
    EXPECT_NEAR(out, 2 * -std::expm1(-(4e-3 - 1e-6 / 2) / 1e-3), 2e-3);
    EXPECT_NEAR(across, 2 - out, 1e-9); // ten digits printed
    EXPECT_NEAR(current, -across / 1e3, 1e-12);
    EXPECT_NE(text[1].find("e-03 "), std::string::npos) << "values in %.9e";
}

TEST(DeckRunner, WithoutPrintCardsPrintsEveryNodeVoltage)
{
    std::ofstream(vkt::test::tempFolder() / "divider.inc") << "r2 mid 0 3k\n";
    const Result r = rundeck("divider\nv1 top 0 dc 4\nr1 top mid 1k\n.include divider.inc\n.op\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "v(top) v(mid)\n4.000000000e+00 3.000000000e+00\n");
}

TEST(DeckRunner, StatisticsNameTheRunsPhasesAndSize)
{
    const Result r = rundeck("divider\nv1 top 0 dc 4\nr1 top mid 1k\nr2 mid 0 3k\n.op\n", "deck.cir", true);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("statistics: processor time "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" s reading, "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("3 equations, 1 points, 1 Newton iterations, 0 steps rejected"), std::string::npos)
        << r.err;
}

TEST(DeckRunner, ReportsWhatItCannotRun)
{
    struct Case {
        const char* what;
        const char* deck;
        const char* message;
    } cases[] = {
        { "a card that does not read", "t\nr1 a 0\nv1 a 0 1\n.op\n", "line 2" },
        { "an unknown device letter", "t\ny1 a 0 1\nv1 a 0 1\n.op\n", "line 2" },
        { "a bad .tran card", "t\nv1 a 0 1\nr1 a 0 1\n.tran 1m\n", ".tran needs a step and a stop time" },
        { "no analysis", "t\nv1 a 0 1\nr1 a 0 1\n", "no analysis" },
        { "a vector of no node", "t\nv1 a 0 1\nr1 a 0 1\n.print v(b)\n.op\n", "v(b)" },
        { "a current of no device", "t\nv1 a 0 1\nr1 a 0 1\n.print i(v2)\n.op\n", "i(v2)" },
        { "a current of a device without a branch", "t\nv1 a 0 1\nr1 a 0 1\n.print i(r1)\n.op\n", "i(r1)" },
        { "a floating node", "t\nv1 a 0 1\nc1 a b 1n\n.tran 1u 1m\n", "node b" },
        { "an include that is not there", "t\n.include nothere.inc\n.op\n", "nothere.inc" },
        { "an include of a device", "t\n.include /dev/zero\n.op\n", "/dev/zero: not a regular file" },
        { "an include of a folder", "t\n.include .\n.op\n", "a folder, not a file" },
        { "an include of a file past the size limit", "t\n.include big.inc\n.op\n",
            "big.inc: larger than 256 MB" },
    };
    // Sparse: past the limit without filling the disk.
    std::ofstream(vkt::test::tempFolder() / "big.inc");
    std::filesystem::resize_file(vkt::test::tempFolder() / "big.inc", (uintmax_t { 256 } << 20) + 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Result r = rundeck(c.deck);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(deckrun::run((vkt::test::tempFolder() / "none.cir").string(), out, err), 1);
    EXPECT_NE(contents(err).find("cannot read"), std::string::npos);
    EXPECT_EQ(contents(out), "");
    out = std::tmpfile();
    err = std::tmpfile();
    EXPECT_EQ(deckrun::run(vkt::test::tempFolder().string(), out, err), 1);
    EXPECT_NE(contents(err).find("a folder, not a file"), std::string::npos);
}

// Each continuation line used to copy the whole card so far: this many took minutes.
TEST(DeckRunner, JoinsALongRunOfContinuationLines)
{
    std::string deck = "t\nv1 a 0 1\nr1 a 0\n+ 1k\n";
    for (int i = 0; i < 200000; ++i)
        deck += "+ \n";
    deck += ".print v(a)\n.op\n";
    const Result r = rundeck(deck);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).front(), "v(a)");
}

TEST(DeckRunner, ReadsDecksAsTheyCome)
{
    // Another simulator's options, a plot card, an AC value on a source and a two-level hierarchy whose
    // ports are written in another case: a warning for the option, and the divider's answer.
    const Result r = rundeck("Foreign cards\n"
                             ".options post=2 reltol=1e-4\n"
                             ".global vdd\n"
                             "vdd vdd 0 dc 4\n"
                             "vin in 0 dc 2 ac 1\n"
                             ".subckt half a b\nr1 a b 1k\nr2 b VDD 1k\n.ends\n"
                             ".subckt twice P Q\nx1 p m half\nx2 M q HALF\n.ends\n"
                             "x1 in out twice\n"
                             ".plot op v(out)\n"
                             ".op\n.print v(out)\n.end\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("unknown option \"post\""), std::string::npos) << r.err;
    // m = (2 + 4 + out) / 3 and out = (m + 4) / 2.
    double out = 0;
    ASSERT_EQ(std::sscanf(lines(r.out).back().c_str(), "%lf", &out), 1) << r.out;
    EXPECT_NEAR(out, 3.6, 1e-9);

    const Result failed = rundeck("Unfinished\n.subckt half a b\nr1 a b 1k\nx1 in out half\n.op\n");
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("subcircuits did not expand"), std::string::npos) << failed.err;
}

TEST(DeckRunner, ReadsMultipliersAndTemperatureCoefficients)
{
    // A resistor under a 1k one from 1 V: its resistance is 1k * factor / M, factor 1 + tc1 dT +
    // tc2 dT^2 with dT from TNOM (27) to TEMP, else to the circuit's TEMP plus DTEMP.
    struct Case {
        const char* card;
        const char* options;
        double resistance;
    };
    for (const Case& c : std::initializer_list<Case> {
             { "1k m=4", "", 250 },
             { "1k tc1=1m temp=77", "", 1050 },
             { "1k TC=1m,20u dtemp=50", "", 1100 },
             { "1k tc=2m dtemp=-10", "", 980 },
             { "1k tc1=1m tc2=20u temp=77 dtemp=100", "", 1100 },
             { "r=2k m=2 tc2=1e-4", ".options temp=37\n", 1010 },
         }) {
        const Result r = rundeck(
            "divider\nv1 in 0 1\nr1 in out 1k\nr2 out 0 " + std::string(c.card) + "\n" + c.options + ".op\n");
        ASSERT_EQ(r.status, 0) << c.card << ": " << r.err;
        double out = 0;
        ASSERT_EQ(std::sscanf(lines(r.out).back().c_str(), "%*f %lf", &out), 1) << r.out;
        EXPECT_NEAR(out, c.resistance / (1e3 + c.resistance), 1e-9) << c.card;
    }

    // A capacitor charged by 1 mA from 0 V: v = I t / (1n * 3 * (1 + 1m * 10 + 10u * 100)).
    const Result charged
        = rundeck("ramp\ni1 0 a 1m\nc1 a 0 1n m=3 tc=1m,10u dtemp=10\n.tran 1u 10u uic\n.print tran v(a)\n");
    ASSERT_EQ(charged.status, 0) << charged.err;
    double time = 0, v = 0;
    ASSERT_EQ(std::sscanf(lines(charged.out).back().c_str(), "%lf %lf", &time, &v), 2);
    EXPECT_NEAR(v, 1e-3 * time / (3e-9 * 1.011), 1e-9);

    for (const char* bad : { "r2 out 0 1k m=0", "r2 out 0 1k tc=1,2,3", "c1 out 0 1n m=-1" }) {
        const Result r = rundeck("bad\nv1 in 0 1\nr1 in out 1k\n" + std::string(bad) + "\n.op\n");
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_NE(r.err.find("value out of range"), std::string::npos) << bad << ": " << r.err;
    }
}

TEST(DeckRunner, RunsEveryAnalysisCardAndPrintsEachPlotAsABlock)
{
    // An RC low-pass at its corner (1 kHz / 2 pi): -3 dB and -45 degrees; its DC transfer, its
    // transfer function and the noise of its resistor, 4kTR at low frequencies.
    const Result r = rundeck("rc\n"
                             "v1 in 0 dc 1 ac 2\n"
                             "r1 in out 1k\n"
                             "c1 out 0 1u\n"
                             ".op\n"
                             ".ac lin 3 159.1549431 477.4648293\n"
                             ".dc v1 0 2 1\n"
                             ".tf v(out) v1\n"
                             ".noise v(out) v1 dec 1 1 10 1\n"
                             ".print ac vdb(out) vp(out) vm(in,out) vr(out) vi(out) im(v1)\n"
                             ".print noise onoise inoise onoise_total\n");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::vector<std::string>> blocks(1);
    for (const std::string& line : lines(r.out)) {
        if (line.empty())
            blocks.emplace_back();
        else
            blocks.back().push_back(line);
    }
    ASSERT_EQ(blocks.size(), 6u) << r.out;
    EXPECT_EQ(blocks[0], (std::vector<std::string> { "v(in) v(out)", "1.000000000e+00 1.000000000e+00" }));
    ASSERT_EQ(blocks[1].size(), 4u);
    EXPECT_EQ(blocks[1][0], "frequency vdb(out) vp(out) vm(in,out) vr(out) vi(out) im(v1)");
    double f = 0, db = 0, phase = 0, across = 0, re = 0, im = 0, current = 0;
    ASSERT_EQ(std::sscanf(blocks[1][1].c_str(), "%lf %lf %lf %lf %lf %lf %lf", &f, &db, &phase, &across, &re,
                  &im, &current),
        7);
    EXPECT_NEAR(db, 20 * std::log10(2 / std::sqrt(2.0)), 1e-6);
    EXPECT_NEAR(phase, -45, 1e-6);
    EXPECT_NEAR(across, std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(re, 1, 1e-6);
    EXPECT_NEAR(im, -1, 1e-6);
    EXPECT_NEAR(current, std::sqrt(2.0) / 1e3, 1e-9);
    EXPECT_EQ(blocks[2],
        (std::vector<std::string> { "sweep v(in) v(out)", "0.000000000e+00 0.000000000e+00 0.000000000e+00",
            "1.000000000e+00 1.000000000e+00 1.000000000e+00",
            "2.000000000e+00 2.000000000e+00 2.000000000e+00" }));
    EXPECT_EQ(blocks[3][0], "Transfer_function v1#Input_impedance output_impedance_at_V(out)");
    EXPECT_EQ(blocks[3][1], "1.000000000e+00 1.000000000e+20 1.000000000e+03");
    ASSERT_EQ(blocks[4].size(), 3u);
    EXPECT_EQ(blocks[4][0], "frequency onoise inoise");
    double noise = 0, input = 0;
    ASSERT_EQ(std::sscanf(blocks[4][1].c_str(), "%*f %lf %lf", &noise, &input), 2);
    EXPECT_NEAR(noise, std::sqrt(4 * 1.38064852e-23 * 300.15 * 1e3), 1e-12);
    EXPECT_NEAR(input, noise, 1e-12);
    EXPECT_EQ(blocks[5][0], "onoise_total");
}

// Decks written for other simulators print expressions and set output formats on .print cards.
TEST(DeckRunner, LeavesOutPrintItemsItCannotPrintWithAWarning)
{
    const Result r = rundeck("t\nv1 in 0 1\nr1 in out 1k\nr2 out 0 1k\n.op\n.noise v(out) v1 dec 1 1 10\n"
                             ".print op format=noindex {v(out)+1} v1#branch v(out)\n.print noise v(out)\n.end\n");
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* left : { "\"format\" is no vector", "\"{v(out)+1}\" is no vector", "\"v(out)\" is no vector of the plot" })
        EXPECT_NE(r.err.find(left), std::string::npos) << left << ": " << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "i(v1) v(out)");
}

TEST(DeckRunner, ReportsAnalysisCardsThatDoNotRead)
{
    struct Case {
        const char* card;
        const char* message;
    } cases[] = {
        { ".ac dec 10 1", ".ac takes dec, oct or lin" },
        { ".ac log 10 1 1k", "\"dec\", \"oct\" or \"lin\"" },
        { ".ac dec 2.5 1 1k", "a whole number of points" },
        { ".ac dec 0 1 1k", "the number of points must be 1 or more" },
        { ".ac dec 10 1k 1", "lies below the start frequency" },
        { ".dc v1 0 1 0.1 v2 0", ".dc takes a source" },
        { ".dc v9 0 1 0.1", ".dc: no device v9" },
        { ".dc v1 0 1 0", "a step of 0 does not lead v1" },
        { ".tf v(out)", ".tf takes an output" },
        { ".tf v(nowhere) v1", ".tf: no node nowhere" },
        { ".noise i(v1) v1 dec 1 1 10", ".noise takes v(node[,node])" },
        { ".noise v(out) v1 dec 1 1 10 -1", "the points per summary" },
        { ".disto dec 1 1 10 half", "\"half\" is no ratio F2/F1" },
        // Letters after a number that are neither a scale factor nor a unit.
        { ".tran 1n 1q", "unexpected \"1q\" on the .tran card" },
        { ".ac dec 10 1 1kx", "\"dec\", \"oct\" or \"lin\"" },
        { ".dc v1 0 1 0.1e", ".dc takes a source" },
        { ".disto dec 1 1 10 0.5ohm", "\"0.5ohm\" is no ratio F2/F1" },
        { ".noise v(out) v1 dec 1 1 10\n.print noise onoise_r9", "onoise_r9: no vector of that name" },
    };
    for (const Case& c : cases) {
        const Result r
            = rundeck("t\nv1 in 0 1 ac 1\nr1 in out 1k\nr2 out 0 1k\n" + std::string(c.card) + "\n");
        EXPECT_EQ(r.status, 1) << c.card;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.card << ": " << r.err;
    }
}

TEST(DeckRunner, ControlCardNumbersTakeAScaleFactorAndAUnit)
{
    const std::string deck = "rc\nv1 in 0 pulse(0 1 0 1u 1u 1 2)\nr1 in out 1k\nc1 out 0 1u\n";
    const Result bare = rundeck(deck + ".tran 0.1m 2m\n.ac dec 2 10 1k\n.dc v1 0 1 0.5\n");
    const Result units = rundeck(deck + ".tran 0.1ms 2MS\n.ac dec 2 10Hz 1kHz\n.dc v1 0v 1V 500mv\n");
    ASSERT_EQ(bare.status, 0) << bare.err;
    EXPECT_EQ(units.status, 0) << units.err;
    EXPECT_EQ(units.out, bare.out);
}
