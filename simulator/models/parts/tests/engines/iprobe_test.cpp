// The current probe against the real engines: what it records is the current the SPICE engine
// solves in the wire it sits in.
#include "simulator/kernel/loader.h"
#include "simulator/kernel/tests/engines/realengine.h"
#include "simulator/models/parts/iprobe.h"
#include "platform/hulvane/results/channeliterator.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/temp_folder.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

class CurrentProbeEngineTest : public RealEngineTest {
protected:
    void SetUp() override
    {
        RealEngineTest::SetUp();
        setenv("RESULTS", vkt::test::tempFolder().c_str(), 1);
    }

    void TearDown() override
    {
        analysis.reset();
        for (PARTITION* partition : partitions)
            partition->close(0);
        partitions.zap();
        RealEngineTest::TearDown();
    }

    // Loads the netlist as a batch run does and runs its analysis once; the engine's result, or -1
    // when the load or the analysis set-up failed.
    int run(const std::string& text)
    {
        std::filesystem::path file = vkt::test::tempFolder() / "probe.net";
        std::ofstream(file) << text;
        IFjob* options = nullptr;
        loadnetlist(file.string().c_str(), &circuit, &table, &task, &options);
        if (!circuit)
            return -1;
        if (!guarded([&] { analysis.reset(createanalysis(circuit, task, options)); }))
            return -1;
        analysis->setupresults(&moddata, &partitions);
        analysis->setup("");
        circuit->setsweepvalue("", 0);
        analysis->setoptions(0);
        int result = analysis->run(1);
        analysis->finish();
        return result;
    }

    // The partition read back from its file; null when absent or unreadable.
    PARTITION* recorded(const char* name)
    {
        PARTITION* found = partitions[name];
        if (!found)
            return nullptr;
        found->close(0);
        return found->open(PARTITION::MODE_READHEADER) == 1 ? found : nullptr;
    }

    // The value of the channel of the partition's first run at time t; NaN when it has none.
    static double valueat(PARTITION* partition, const char* channel, double t)
    {
        CHANNEL_ITERATOR* reader = partition ? partition->getiterator(channel, 0) : nullptr;
        return reader ? reader->getvalue(t) : std::nan("");
    }

    std::unique_ptr<ANALYSIS> analysis;
    GDIDX<PARTITION> moddata;
    GDIDX<PARTITION> partitions;
};

TEST_F(CurrentProbeEngineTest, OperatingPointCurrentsAreSignedFromPlusToMinus)
{
    // 5 V into two legs: I1 forward into 1k, I2 turned round under 2k. I1's DC property must not
    // reach its source, which stays at 0 V.
    ASSERT_EQ(
        run("TAVI\n\n:Legs\n*PROPERTIES,2\nSIMTYPE=OP\nPARTITION=RUN\n*PARTLIST,6\n"
            "V1,VSOURCE,5,PRIMITIVE=ANALOG\nI1,IPROBE,Ione,PRIMITIVE=ANALOG,PARTITION=RUN,DC=5\n"
            "R1,RESISTOR,1k,PRIMITIVE=ANALOG\nR2,RESISTOR,2k,PRIMITIVE=ANALOG\n"
            "I2,IPROBE,Itwo,PRIMITIVE=ANALOG,PARTITION=RUN\nP1,APROBE,Vmid,PRIMITIVE=ANALOG,PARTITION=RUN\n"
            "*NETLIST,4\nIN,3\nV1,PS,+\nI1,PS,+\nR2,PS,1\n\nMID,3\nI1,PS,-\nR1,PS,1\nP1,PS,1\n\n"
            "LOW,2\nR2,PS,2\nI2,PS,-\n\nGND,4\nV1,PS,-\nR1,PS,2\nI2,PS,+\nGND,PT,GND\n\n"),
        0)
        << log();
    EXPECT_EQ(log().find("#W:"), std::string::npos) << log();
    PARTITION* results = recorded("RUN");
    ASSERT_NE(results, nullptr);
    EXPECT_NEAR(valueat(results, "I1", 0), 5e-3, 1e-12);
    EXPECT_NEAR(valueat(results, "I2", 0), -2.5e-3, 1e-12);
    // The probe joins its two nets at one voltage; both probes are instances of one engine model.
    EXPECT_NEAR(valueat(results, "P1", 0), 5.0, 1e-9);
    int32_t type = -1;
    IFmodel* model = nullptr;
    EXPECT_EQ(spicesimulator->findModel(circuit->spice, &type, &model, const_cast<char*>("IPROBE")), 0);
}

TEST_F(CurrentProbeEngineTest, CapacitorChargingCurrentFollowsTheExponential)
{
    // A 1 V step through 1k into 1u: i(t) = 1 mA e^(-t / 1 ms), within 0.1 % of its peak.
    int result = run(
        "TAVI\n\n:RC\n*PROPERTIES,4\nSIMTYPE=TRANSIENT\nPARTITION=RUN\nTSTOP=5m\nNUMSTEPS=500\n"
        "*PARTLIST,4\nV1,VPULSE,,PRIMITIVE=ANALOG,V1=0,V2=1,TD=0,TR=1n,TF=1n,PW=1,PER=2\n"
        "R1,RESISTOR,1k,PRIMITIVE=ANALOG\nI1,IPROBE,Ic,PRIMITIVE=ANALOG,PARTITION=RUN,OUTTOL=0\n"
        "C1,CAPACITOR,1u,PRIMITIVE=ANALOG\n*NETLIST,4\nIN,2\nV1,PS,+\nR1,PS,1\n\n"
        "OUT,2\nR1,PS,2\nI1,PS,+\n\nCAP,2\nI1,PS,-\nC1,PS,1\n\nGND,3\nV1,PS,-\nC1,PS,2\nGND,PT,GND\n\n");
    ASSERT_EQ(result, 0) << log();
    PARTITION* results = recorded("RUN");
    ASSERT_NE(results, nullptr);
    for (double t : { 0.1e-3, 0.5e-3, 1e-3, 2e-3, 4e-3 })
        EXPECT_NEAR(valueat(results, "I1", t), 1e-3 * std::exp(-t / 1e-3), 1e-6) << "at " << t;
}

} // namespace
