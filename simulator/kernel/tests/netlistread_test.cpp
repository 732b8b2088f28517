#include "simulator/kernel/netlist.h"
#include "simulator/kernel/tests/circuittesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// A netlist read from text.
struct READNETLIST : SDF_NETLIST {
    explicit READNETLIST(const std::string& text)
    {
        FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        read(stream);
        fclose(stream);
    }
    std::string property(const char* name) const
    {
        const char* value = getproperty(name);
        return value ? value : "(absent)";
    }
};

TEST(NetlistRead, HeaderGivesTheDesignNameOnlyAfterTheTag)
{
    struct Case {
        const char* text;
        const char* design;
        const char* firstproperty;  // the property line 2 sets when the header did not take it
    } cases[] = {
        { "TAVI x\n\nDesign: Amp 1 \n", "Amp 1 ", "(absent)" },
        { "TAVI\n\nno colon\n", "", "(absent)" },
        { "TAVI\n\nA \"b:c\": name\n", "name", "(absent)" },
        { "tavi\n*PROPERTIES,1\nX=1\n", "", "1" },
        { "TAV", "", "(absent)" },
        { "", "", "(absent)" },
    };
    for (const Case& c : cases) {
        READNETLIST netlist(c.text);
        EXPECT_STREQ(netlist.getdesignname(), c.design) << c.text;
        EXPECT_EQ(netlist.property("X"), c.firstproperty) << c.text;
    }
}

TEST(NetlistRead, DesignNameIsCutAt519Characters)
{
    READNETLIST netlist("TAVI\n\n:" + std::string(600, 'd') + "\n");
    EXPECT_EQ(std::string(netlist.getdesignname()), std::string(519, 'd'));
}

TEST(NetlistRead, PropertyRecordsThatDoNotReadAreCountedAndTheRestOfTheFileIsRead)
{
    READNETLIST netlist("x\n*PROPERTIES,6\nA=1\n\nB\n=2\nC=\nD = x, \"y\" \n*PARTLIST,1\nR1,R,1\n");
    EXPECT_EQ(netlist.properties.count, 2);
    EXPECT_EQ(netlist.property("A"), "1");
    EXPECT_EQ(netlist.property("D"), "x, \"y\" ");
    EXPECT_EQ(netlist.parts.count, 1);
}

TEST(NetlistRead, SectionWithoutCountReadsNoRecord)
{
    READNETLIST netlist("x\n*PROPERTIES\nA=1\n*PROPERTIES,x\nB=1\n*PROPERTIES , 1\nC=1\n");
    EXPECT_EQ(netlist.property("A"), "(absent)");
    EXPECT_EQ(netlist.property("B"), "(absent)");
    EXPECT_EQ(netlist.property("C"), "1");
}

TEST(NetlistRead, LongLinesAreCutAndTheirRestSkipped)
{
    std::string value(41000, 'v');
    READNETLIST netlist("x\n*PROPERTIES,2\nLONG=" + value + "\nNEXT=1\n");
    EXPECT_EQ(netlist.property("LONG").size(), 40959u - 5u);
    EXPECT_EQ(netlist.property("NEXT"), "1");
}

TEST(NetlistRead, FieldsAreCutToTheirLimits)
{
    std::string longname(200, 'n');
    std::string longvalue(2000, 'v');
    READNETLIST netlist("x\n*PARTLIST,1\n" + longname + ",DEV,1,K=" + longvalue + ",L=2\n*MODELDEFS,1\n"
        + std::string(40, 'm') + ": A=1\n");
    ASSERT_EQ(netlist.parts.count, 1);
    SDF_COMPONENT* part = netlist.parts.ptr(0);
    EXPECT_EQ(std::string(part->name), longname.substr(0, 127));
    EXPECT_EQ(std::string(part->getproperty("K")), longvalue.substr(0, 1023));
    EXPECT_STREQ(part->getproperty("L"), "2");
    ASSERT_EQ(netlist.models.count, 1);
    EXPECT_EQ(std::string(netlist.models.ptr(0)->name), std::string(31, 'm'));
}

TEST(NetlistRead, ScriptsCollectLinesUpToTheEndLineOrTheEndOfFile)
{
    READNETLIST netlist("x\n*SCRIPT\nignored\n*SCRIPT ONE\na\n\n*ENDSCRIPTX\n*SCRIPT \"TWO\"\nb\r\nc");
    ASSERT_EQ(netlist.scripts.count, 2);
    EXPECT_STREQ(netlist.scripts[0]->name, "ONE");
    EXPECT_STREQ(netlist.scripts[0]->text, "a\n\n");
    EXPECT_STREQ(netlist.scripts[1]->name, "TWO");
    EXPECT_STREQ(netlist.scripts[1]->text, "b\nc\n");
}

TEST(NetlistRead, NetRecordKeepsFlagsPropertiesAndIdBesideTheName)
{
    READNETLIST netlist("x\n*NETLIST,2\nN1,0,TTOL=1n\n\nN2,0\n\n");
    char* net = netlist.nets["N1"];
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(netflags(net), 0u);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(net) - 1, &netflags(net));
    EXPECT_STREQ(netproperties(net)["TTOL"], "1n");
    EXPECT_EQ(netlist.netbyid(netid(netlist.nets["N2"])), netlist.nets["N2"]);
    EXPECT_EQ(netlist.netbyid(2), nullptr);
}

TEST(NetlistRead, NetBlockWithoutItsEmptyLineLosesNothing)
{
    READNETLIST netlist("x\n*PARTLIST,1\nR1,R,1\n*NETLIST,2\nA,1\nR1,PS,1\nB,1\nR1,PS,2\n*PROPERTIES,1\nP=1\n");
    EXPECT_NE(netlist.nets["B"], nullptr);
    EXPECT_EQ(netlist.parts["R1"]->pins.count, 2);
    EXPECT_EQ(netlist.property("P"), "1");
}

TEST(NetlistRead, NetlistBeforeItsPartsAttachesNoPins)
{
    READNETLIST netlist("x\n*NETLIST,1\nA,1\nR1,PS,1\n\n*PARTLIST,1\nR1,R,1\n");
    EXPECT_EQ(netlist.parts["R1"]->pins.count, 0);
}

TEST(NetlistRead, FieldWithoutEqualsIsDroppedAloneAndThePairsAfterItRead)
{
    // An unquoted value with a comma leaves its tail as a field of its own.
    READNETLIST netlist(
        "x\n*PARTLIST,1\nR1,RESISTOR,1,5k,PRIMITIVE=ANALOG\n*MODELDEFS,1\nM: A=1, junk, B=2\n");
    ASSERT_EQ(netlist.parts.count, 1);
    SDF_COMPONENT* part = netlist.parts.ptr(0);
    EXPECT_STREQ(part->getproperty("VALUE"), "1");
    EXPECT_STREQ(part->getproperty("PRIMITIVE"), "ANALOG");
    ASSERT_EQ(netlist.models.count, 1);
    EXPECT_STREQ(netlist.models["M"]->properties["A"], "1");
    EXPECT_STREQ(netlist.models["M"]->properties["B"], "2");
}

TEST(NetlistRead, RepeatedPartReplacesTheEarlierOneAndRepeatedModelKeepsTheFirst)
{
    READNETLIST netlist(
        "x\n*PARTLIST,2\nR1,R,1\nR1,R,2\n*MODELDEFS,2\nM: A=1\nM: A=2\n*MODELDEFS,1\nM: A=3\n");
    ASSERT_EQ(netlist.parts.count, 1);
    EXPECT_STREQ(netlist.parts["R1"]->getproperty("VALUE"), "2");
    ASSERT_EQ(netlist.models.count, 1);
    EXPECT_STREQ(netlist.models["M"]->properties["A"], "1");
}

using NetlistReadCircuit = CircuitTest;

// A part bound to a model that a later block defines again must keep a model that lives.
TEST_F(NetlistReadCircuit, ModelDefinedAgainKeepsTheFirstAndWarns)
{
    readfixture("modeltwice.net");
    EXPECT_THAT(log(), testing::HasSubstr("#W:Model M is defined more than once; the first one is kept.\n"));
    ASSERT_EQ(circuit->models.count, 1);
    EXPECT_STREQ(circuit->models["M"]->properties["R"], "1");
    EXPECT_TRUE(build());
}

TEST(NetlistRead, DamagedFilesReadWithoutHarm)
{
    for (const auto& entry : std::filesystem::directory_iterator(std::string(VKT_TEST_SOURCE_DIR) + "/damaged")) {
        FILE* stream = fopen(entry.path().c_str(), "r");
        ASSERT_NE(stream, nullptr);
        SDF_NETLIST netlist;
        netlist.read(stream);
        fclose(stream);
        for (SDF_COMPONENT* part : netlist.parts)
            for (SDF_PIN* pin : part->pins)
                EXPECT_NE(netlist.nets[pin->net], nullptr) << entry.path();
    }
}

}  // namespace
