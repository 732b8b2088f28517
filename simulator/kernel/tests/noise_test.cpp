// The noise analysis on plots the recording fake of the SPICE engine delivers: the engine has no
// noise analysis yet.
#include "simulator/kernel/tests/analysistesting.h"

#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "simulator/kernel/analyses.h"

#include <string>
#include <vector>

namespace {

TEST_F(AnalysisTest, NoiseRunsOncePerWatchedNetAndReports)
{
    ASSERT_TRUE(load("SIMTYPE=Noise\nPARTITION=P\nLOGSPECTRAL=true\nLOGTOTAL=TRUE\n", ""));
    char* out = circuit->getnet("OUT");
    circuit->getnet("OTHER");
    IFnode* node = nullptr;
    spicesimulator->newNode(circuit->spice, &node, out);
    ASSERT_NE(dynamic_cast<NOISE*>(create()), nullptr) << log();
    EXPECT_EQ(runonce(), 0);
    EXPECT_EQ(fakes::callsof("doAnalyses").size(), 0u);

    RECORDER* probe = addrecorder("P1", "OUT", out);
    probe->setproperty("VALUE", "Vout");
    fakes::ScriptedPlot spectrum;
    spectrum.reference = "frequency";
    spectrum.names = { "onoise_r1", "onoise_spectrum", "inoise_spectrum" };
    spectrum.points.push_back({ 1e3, { 4e-18, 9e-18, 16e-18 } });
    fakes::ScriptedPlot totals;
    totals.names = { "onoise_total_r1", "onoise_total", "inoise_total" };
    totals.points.push_back({ 0.0, { 1e-12, 4e-12, 9e-12 } });
    fakes::spice().runs.push_back({ spectrum, totals });
    mark = size();
    EXPECT_EQ(runonce(), 0);
    EXPECT_THAT(fakes::callsof("setAnalysisParm(NOISE, output="),
        testing::ElementsAre("setAnalysisParm(NOISE, output=OUT)"));
    EXPECT_THAT(fakes::callsof("setAnalysisParm(NOISE, ptspersum"),
        testing::ElementsAre("setAnalysisParm(NOISE, ptspersum=1)"));
    EXPECT_EQ(probe->noise, (std::vector<std::pair<double, double>> { { 1e3, 12.0 } }));
    std::string logged = log();
    for (const char* line : { "#I:NOISE analysis for probe Vout\n", "#I:Noise Contributions at 1.00kHz\n",
             "                  r1 : 2.00n V/sqrt(Hz)\nPlotted Output Noise : 3.00n V/sqrt(Hz)\n"
             "Plotted Input Noise : 4.00n V/sqrt(Hz)\n",
             "#I:Total Noise Contributions\n",
             "                  r1 : 1.00u Volts\n  Total Output Noise : 2.00u Volts\n"
             "   Total Input Noise : 3.00u Volts\n" })
        EXPECT_NE(logged.find(line), std::string::npos) << line << "\n" << logged;
    EXPECT_EQ(partitions["P"]->runcount, 1);
}

} // namespace
