#include "simulator/models/builtin/tests/probetesting.h"

#include "simulator/kernel/primitives.h"
#include "simulator/models/parts/iprobe.h"

#include <string>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::SizeIs;

class CurrentProbeTest : public ProbeCircuitTest {
protected:
    IPROBE* probe(const char* name) { return dynamic_cast<IPROBE*>(part(name)); }

    // The partition read back from its file.
    PARTITION* reopen(const char* name)
    {
        PARTITION* found = partitions[name];
        found->close(0);
        EXPECT_EQ(found->open(PARTITION::MODE_READHEADER), 1);
        return found;
    }
};

// A source, I1 from IN to MID, a resistor from MID to LOW and I2 from LOW to ground.
const char* chain = "V1,VSOURCE,5,PRIMITIVE=ANALOG\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\n"
                    "I2,IPROBE,Ilow,PRIMITIVE=ANALOG\n";
const char* chainnets = "IN,2\nV1,PS,+\nI1,PS,+\n\nMID,2\nI1,PS,-\nR1,PS,1\n\nLOW,2\nR1,PS,2\nI2,PS,+\n\n"
                        "GND,3\nV1,PS,-\nI2,PS,-\nGND,PT,GND\n\n";

// A run's data vectors: entry k of point i is (k + 1) * i mA, so the entry a probe read shows.
fakes::ScriptedPlot rampplot(int32_t entries, int points)
{
    fakes::ScriptedPlot plot;
    for (int32_t k = 0; k < entries; ++k)
        plot.names.push_back("E" + std::to_string(k));
    for (int i = 0; i < points; ++i) {
        std::vector<double> values;
        for (int32_t k = 0; k < entries; ++k)
            values.push_back((k + 1) * i * 1e-3);
        plot.points.push_back({ i * 0.25, values });
    }
    return plot;
}

TEST_F(CurrentProbeTest, BindingPutsAZeroVoltSourceInTheWireAndFindsItsBranch)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\nRELTOL=0.01\n",
        std::string(chain) + "I1,IPROBE,Isupply,PRIMITIVE=ANALOG,PARTITION=RUN,DC=5\n", chainnets);
    IPROBE* supply = probe("I1");
    ASSERT_NE(supply, nullptr);
    // How it binds (orientation, 0 V, the shared model) is checked on the real engines.
    EXPECT_GE(supply->branchindex, 0);
    EXPECT_EQ(supply->branchindex + 1, supply->getbranch(circuit->spice, nullptr));
    EXPECT_NE(supply->branchindex, probe("I2")->branchindex);
    EXPECT_DOUBLE_EQ(supply->tolerance, 1e-3);
    EXPECT_EQ(log().find("#E:"), std::string::npos) << log();
}

TEST_F(CurrentProbeTest, RecordsItsBranchIntoItsOwnPartitionOnly)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\nTSTOP=1\n",
        std::string(chain) + "I1,IPROBE,Isupply,PRIMITIVE=ANALOG,PARTITION=CURRENTS,OUTTOL=0\n", chainnets);
    IPROBE* supply = probe("I1");
    int32_t entries = std::max(supply->branchindex, probe("I2")->branchindex) + 1;
    fakes::spice().runs.push_back({ rampplot(entries, 4) });
    EXPECT_EQ(analysis->run(1), 0);

    // I2 has no PARTITION: it joins the plot but records nowhere, not even in the run's partition.
    EXPECT_GE(analysis->probes.find(part("I2")), 0);
    EXPECT_EQ(partitions["RUN"]->channels.count, 0);
    PARTITION* currents = reopen("CURRENTS");
    ASSERT_EQ(currents->channels.count, 1);
    EXPECT_STREQ(currents->channels.ptr(0)->name, "I1");
    EXPECT_STREQ(currents->channels.ptr(0)->label, "Isupply");
    EXPECT_EQ(currents->channels.ptr(0)->kind, PARTITION::KIND_ANALOG);
    CHANNEL_ITERATOR* reader = currents->getiterator("I1", 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_DOUBLE_EQ(reader->getvalue(0.5), (supply->branchindex + 1) * 2e-3);
    EXPECT_DOUBLE_EQ(reader->getvalue(0.75), (supply->branchindex + 1) * 3e-3);
}

TEST_F(CurrentProbeTest, ComplexPointsTakeTheBranchAndAShortPointReadsZero)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n",
        std::string(chain) + "I1,IPROBE,Isupply,PRIMITIVE=ANALOG,PARTITION=RUN\n", chainnets);
    IPROBE* supply = probe("I1");
    PARTITION* run = partitions["RUN"];
    run->beginrun();
    EXPECT_EQ(supply->joinplot(nullptr, 0, IF_COMPLEX), 1);
    EXPECT_EQ(run->channels.ptr(supply->channel)->kind, PARTITION::KIND_COMPLEX);
    std::vector<IFcomplex> values(static_cast<size_t>(supply->branchindex) + 1, IFcomplex { 9, 9 });
    values.back() = { 1e-3, -2e-3 };
    supply->writecomplex(1e3, values.data(), static_cast<int32_t>(values.size()));
    supply->writecomplex(2e3, values.data(), supply->branchindex);
    run->endrun();

    CHANNEL_ITERATOR* reader = reopen("RUN")->getiterator("I1", 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_DOUBLE_EQ(reader->getreal(1e3), 1e-3);
    EXPECT_DOUBLE_EQ(reader->getimag(1e3), -2e-3);
    EXPECT_DOUBLE_EQ(reader->getreal(2e3), 0.0);
    EXPECT_DOUBLE_EQ(reader->getimag(2e3), 0.0);
}

// The probe row bound to a device type of another name for the life of the test.
class DeviceOfTheProbeRow {
public:
    explicit DeviceOfTheProbeRow(const char* type)
        : row(findprimitive("IPROBE"))
        , saved(row->spicetype)
    {
        row->spicetype = type;
        resetprimitives();
    }
    ~DeviceOfTheProbeRow()
    {
        row->spicetype = saved;
        resetprimitives();
    }
    DeviceOfTheProbeRow(const DeviceOfTheProbeRow&) = delete;
    DeviceOfTheProbeRow& operator=(const DeviceOfTheProbeRow&) = delete;

private:
    PRIMITIVE* row;
    const char* saved;
};

TEST_F(CurrentProbeTest, WithoutABranchItWarnsAtEveryPlotAndRecordsNothing)
{
    // The fake's current source offers no branch.
    DeviceOfTheProbeRow currentsource("Isource");
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n",
        std::string(chain) + "I1,IPROBE,Isupply,PRIMITIVE=ANALOG,PARTITION=RUN\n", chainnets);
    IPROBE* supply = probe("I1");
    EXPECT_EQ(supply->branchindex, -1);
    mark = size();
    IFuid names[] = { "IN" };
    for (int plot = 0; plot < 2; ++plot)
        EXPECT_EQ(supply->joinplot(names, 1, IF_REAL), 0);
    std::string warning = "#W:Could not link to net IN in probe I1\n%S=I1\n";
    std::string text = log();
    size_t first = text.find(warning);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find(warning, first + 1), std::string::npos) << text;
    EXPECT_EQ(supply->channel, -1);
    EXPECT_EQ(partitions["RUN"]->channels.count, 0);
    // Without a partition there is nothing to link, so nothing to warn about.
    EXPECT_EQ(probe("I2")->joinplot(names, 1, IF_REAL), 0);
    EXPECT_EQ(log().find("in probe I2"), std::string::npos);
}

TEST_F(CurrentProbeTest, EventsAreReportedOnChangeAndAlwaysAtTimeZero)
{
    make("SIMTYPE=TRANSIENT\nPARTITION=RUN\n",
        std::string(chain) + "I1,IPROBE,Isupply,PRIMITIVE=ANALOG,CALLBACK=A,SHEETID=3\n", chainnets);
    IPROBE* supply = probe("I1");
    std::vector<double>& solution = fakes::spice().circuit.values;
    solution.assign(static_cast<size_t>(supply->branchindex) + 2, 0.0);
    solution.back() = 5e-3;
    DPA list { 0 };
    EXPECT_EQ(supply->activeevents(0, &list), 1);
    EXPECT_EQ(supply->activeevents(1e-3, &list), 1);
    EXPECT_EQ(list.count, 1);
    EXPECT_EQ(supply->activeevents(0, &list), 1);
    EXPECT_EQ(list.count, 2);
    solution.back() = -1e-3;
    EXPECT_EQ(supply->activeevents(2e-3, &list), 1);
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.items[2], &supply->event);
    EXPECT_EQ(supply->event.kind, ACTIVEEVENT::KIND_VALUE);
    EXPECT_EQ(supply->event.value, -1e-3);
    EXPECT_EQ(supply->event.sheet, 3u);
    EXPECT_EQ(supply->event.first, 0xAu);
    EXPECT_EQ(probe("I2")->activeevents(0, &list), 0);
    EXPECT_EQ(list.count, 3);
    list.count = 0;
}

} // namespace
