#include "simulator/models/builtin/tests/probetesting.h"

#include "simulator/models/builtin/vprobe.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class ProbeTest : public ProbeCircuitTest {
protected:
    VPROBE* probe(const char* name) { return dynamic_cast<VPROBE*>(part(name)); }
};

const char* divider = "V1,VSOURCE,5,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n";
const char* dividernets = "IN,2\nV1,PS,1\nR1,PS,1\n\nOUT,2\nR1,PS,2\nP1,PS,1\n\n";

TEST_F(ProbeTest, AnalogProbeRecordsItsNetAgainstTime)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\nTSTOP=1\n", std::string(divider) + "P1,APROBE,Vout,PRIMITIVE=ANALOG,OUTTOL=0\n", dividernets);
    fakes::ScriptedPlot plot;
    plot.names = { "IN", "OUT" };
    for (int i = 0; i < 4; ++i)
        plot.points.push_back({ i * 0.25, { 5.0, i * 1.0 } });
    fakes::spice().runs.push_back({ plot });
    EXPECT_EQ(analysis->run(1), 0);

    PARTITION* run = partitions["RUN"];
    ASSERT_NE(run, nullptr);
    ASSERT_EQ(run->channels.count, 1);
    EXPECT_STREQ(run->channels.ptr(0)->name, "P1");
    EXPECT_STREQ(run->channels.ptr(0)->label, "Vout");
    EXPECT_EQ(run->channels.ptr(0)->kind, PARTITION::KIND_ANALOG);
    run->close(0);
    ASSERT_EQ(run->open(PARTITION::MODE_READHEADER), 1);
    CHANNEL_ITERATOR* reader = run->getiterator("p1", 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_DOUBLE_EQ(reader->getvalue(0.5), 2.0);
    EXPECT_DOUBLE_EQ(reader->getvalue(0.75), 3.0);
}

TEST_F(ProbeTest, ProbeWhoseNetIsNotInThePlotWarnsAndRecordsNothing)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n", std::string(divider) + "P1,APROBE,Vout,PRIMITIVE=ANALOG\n", dividernets);
    fakes::ScriptedPlot plot;
    plot.names = { "IN" };
    plot.points.push_back({ 0.0, { 5.0 } });
    fakes::spice().runs.push_back({ plot });
    mark = size();
    analysis->run(1);
    EXPECT_NE(log().find("#W:Could not link to net OUT in probe P1\n%S=P1\n"), std::string::npos) << log();
    EXPECT_EQ(probe("P1")->channel, -1);
    EXPECT_EQ(partitions["RUN"]->channels.count, 0);
}

TEST_F(ProbeTest, ProbePartitionOutsideTheResultsFolderIsRefusedAndTheRunGoesOn)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n",
        std::string(divider) + "P1,APROBE,Vout,PRIMITIVE=ANALOG,PARTITION=..\\..\\ESCAPE\n"
            + "P2,APROBE,Vin,PRIMITIVE=ANALOG,PARTITION=PROBES\\P2\n",
        "IN,3\nV1,PS,1\nR1,PS,1\nP2,PS,1\n\nOUT,2\nR1,PS,2\nP1,PS,1\n\n");
    EXPECT_NE(
        log().find("#W:The results partition '..\\..\\ESCAPE' of P1 is refused: it must name a file inside "
                   "the results folder.\n"),
        std::string::npos)
        << log();
    EXPECT_EQ(probe("P1")->partition, nullptr);
    fakes::ScriptedPlot plot;
    plot.names = { "IN", "OUT" };
    plot.points.push_back({ 0.0, { 5.0, 2.5 } });
    fakes::spice().runs.push_back({ plot });
    EXPECT_EQ(analysis->run(1), 0);
    EXPECT_EQ(partitions.count, 2);
    PARTITION* own = partitions["PROBES\\P2"];
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->findchannel("P2"), 0);
    own->close(0);
    EXPECT_TRUE(std::filesystem::exists(vkt::test::tempFolder() / "PROBES" / "P2.PDF"));
    EXPECT_FALSE(std::filesystem::exists(vkt::test::tempFolder().parent_path().parent_path() / "ESCAPE.PDF"));
}

TEST_F(ProbeTest, ToleranceComesFromTheProbeThenTheCircuit)
{
    struct Case {
        const char* properties;
        const char* probe;
        double tolerance;
    } cases[] = { { "", "", 1e-4 }, { "RELTOL=1m\n", "", 1e-4 }, { "RELTOL=0.01\n", "", 1e-3 },
        { "OUTTOL=5m\nRELTOL=0.01\n", "", 5e-3 }, { "OUTTOL=5m\n", ",OUTTOL=2*1m", 2e-3 } };
    for (const Case& c : cases) {
        make(std::string("SIMTYPE=TRANSIENT\nPARTITION=RUN\n") + c.properties,
            std::string(divider) + "P1,APROBE,Vout,PRIMITIVE=ANALOG" + c.probe + "\n", dividernets);
        EXPECT_DOUBLE_EQ(probe("P1")->tolerance, c.tolerance) << c.properties << c.probe;
        analysis.reset();
    }
}

TEST_F(ProbeTest, LoadTiesTheNetToGroundThroughAResistor)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n", "P1,APROBE,Vout,PRIMITIVE=ANALOG,LOAD=10k\n", "OUT,1\nP1,PS,1\n\n");
    // What the engine solves with the load is checked on the real engines (tests/engines).
    // The load gives the net its DC path: the build adds no resistor to ground.
    EXPECT_EQ(part("ER#0000"), nullptr);
}

TEST_F(ProbeTest, LogicProbeLinksTheDigitalEngineForRealPlotsOnly)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n", "U1,BUF,,PRIMITIVE=DIGITAL\nP1,DPROBE,Q,PRIMITIVE=ANALOG\n",
        "Q,2\nU1,OP,Y\nP1,PS,1\n\n");
    VPROBE* logic = probe("P1");
    ASSERT_NE(logic, nullptr);
    EXPECT_FALSE(logic->analog);
    IFuid names[] = { "x" };
    EXPECT_EQ(logic->joinplot(names, 1, IF_COMPLEX), 0);
    EXPECT_TRUE(fakes::callsof("pallex_linkprobe").empty());
    EXPECT_EQ(logic->joinplot(names, 1, IF_REAL), 1);
    EXPECT_THAT(fakes::callsof("pallex_linkprobe"), testing::SizeIs(1));
    EXPECT_EQ(partitions["RUN"]->channels.ptr(0)->kind, PARTITION::KIND_DIGITAL);
    EXPECT_EQ(logic->joinplot(names, 1, IF_COMPLEX), 1);
}

TEST_F(ProbeTest, LogicProbeReportsStateTextsAndMasks)
{
    std::string netlist;
    for (int i = 0; i < 9; ++i)
        netlist += "D" + std::to_string(i) + ",1\nP1,PS," + std::to_string(i + 1) + "\n\n";
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n", "P1,DPROBE,Bus,PRIMITIVE=ANALOG,CALLBACK=1F,SHEETID=2\n", netlist);
    VPROBE* logic = probe("P1");
    for (int i = 0; i < 9; ++i)
        fakes::digitalpin("P1", i)->state = i == 0 || i == 2 ? STATE_SHI : STATE_SLO;
    DPA list { 0 };
    EXPECT_EQ(logic->activeevents(0, &list), 1);
    ASSERT_EQ(list.count, 1);
    EXPECT_STREQ(
        static_cast<const char*>(activeaddress(&activedatatable(), logic->event.words[0])), "0x0005");
    EXPECT_EQ(logic->event.kind, ACTIVEEVENT::KIND_TEXT);
    EXPECT_EQ(logic->event.sheet, 2u);
    EXPECT_EQ(logic->activeevents(1e-3, &list), 1);
    EXPECT_EQ(list.count, 1);
    fakes::digitalpin("P1", 4)->state = STATE_FLT;
    logic->activeevents(2e-3, &list);
    EXPECT_EQ(list.count, 2);
    EXPECT_STREQ(static_cast<const char*>(activeaddress(&activedatatable(), logic->event.words[0])), "FLT");
    list.count = 0;

    struct Case {
        uint32_t state;
        const char* text;
    } names[] = { { 0x22, "CON" }, { 2, "FLT" }, { 15, "SHI" }, { 21, "ILO" }, { 31, "PHI" }, { 9, "UND" } };
    for (const Case& c : names)
        EXPECT_STREQ(statename(c.state), c.text) << c.state;
}

TEST_F(ProbeTest, NoiseDensitiesMissingFromThePlotReadAsZero)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n", std::string(divider) + "P1,APROBE,Vout,PRIMITIVE=ANALOG\n", dividernets);
    VPROBE* analog = probe("P1");
    EXPECT_EQ(analog->joinnoise(circuit->getnet("IN"), IF_COMPLEX), 0);
    EXPECT_EQ(analog->joinnoise(circuit->getnet("OUT"), IF_COMPLEX), 1);
    PARTITION* run = partitions["RUN"];
    run->beginrun();
    double values[] = { 4e-18, 9e-18 };
    analog->writenoise(1e3, values + 1, 1, 0, -1);
    analog->writenoise(2e3, values, 2, 0, 2);
    run->endrun();
    run->close(0);
    ASSERT_EQ(run->open(PARTITION::MODE_READHEADER), 1);
    CHANNEL_ITERATOR* reader = run->getiterator("P1", 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_DOUBLE_EQ(reader->getreal(1e3), 3e-9);
    EXPECT_DOUBLE_EQ(reader->getimag(1e3), 0.0);
    EXPECT_DOUBLE_EQ(reader->getreal(2e3), 2e-9);
    EXPECT_DOUBLE_EQ(reader->getimag(2e3), 0.0);
}

TEST_F(ProbeTest, AnalogEventsAreReportedOnChangeAndAlwaysAtTimeZero)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n", std::string(divider) + "P1,APROBE,Vout,PRIMITIVE=ANALOG,CALLBACK=A\nP2,APROBE,Vout,PRIMITIVE=ANALOG\n",
        dividernets + std::string("OUT2,1\nP2,PS,1\n\n"));
    VPROBE* analog = probe("P1");
    IFnode* node = nullptr;
    spicesimulator->findNode(circuit->spice, &node, circuit->getnet("OUT"));
    IFuid names[] = { "IN", node->name };
    analog->joinplot(names, 2, IF_REAL);
    fakes::spice().circuit.values = { 0, 5, 2.5 };
    DPA list { 0 };
    EXPECT_EQ(analog->activeevents(0, &list), 1);
    EXPECT_EQ(analog->activeevents(1, &list), 1);
    EXPECT_EQ(analog->activeevents(0, &list), 1);
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(analog->event.value, 2.5);
    EXPECT_EQ(analog->event.first, 0xAu);
    EXPECT_EQ(probe("P2")->activeevents(0, &list), 0);
    list.count = 0;
}

}  // namespace
