#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <sstream>
#include <string>

#include "platform/hulvane/netgen.h"
#include "platform/hulvane/cdbrecords.h"
#include "platform/hulvane/netlist.h"
#include "platform/hulvane/tests/rcnetlist.h"

namespace {

using hulvanetest::buildrc;
using hulvanetest::props;

std::string dump(const NETLIST& netlist, int format = NETFORMAT_DUMP)
{
    std::ostringstream out;
    EXPECT_EQ(net_gen(netlist, out, format), 1);
    return out.str();
}

TEST(Netlist, TheCanonicalDumpIsStableWhateverTheBuildingOrder)
{
    NETLIST forward;
    buildrc(forward, false);
    NETLIST backward;
    buildrc(backward, true);
    EXPECT_EQ(dump(forward), dump(backward));
    EXPECT_EQ(dump(forward),
        "design 'RC'\n"
        "property NUMSTEPS=500\n"
        "property PARTITION=RC\n"
        "property SIMTYPE=TRANSIENT\n"
        "property TRACE_PERFORMANCE=2\n"
        "property TSTOP=5m\n"
        "element C1 CAPACITOR PRIMITIVE=ANALOG VALUE=1u\n"
        "element R1 RESISTOR PRIMITIVE=ANALOG VALUE=1k\n"
        "element V1 VPULSE PER=2 PRIMITIVE=ANALOG PW=1 TD=0 TF=1n TR=1n V1=0 V2=1 VALUE=\n"
        "element VOUT VPROBE OUTTOL=0 PRIMITIVE=ANALOG VALUE=OUT\n"
        "net #\n"
        "  pin R1.1 PS\n"
        "  pin V1.+ PS\n"
        "net GND\n"
        "  label GND PT\n"
        "  label GND PT\n"
        "  pin C1.2 PS\n"
        "  pin V1.- PS\n"
        "net OUT\n"
        "  label OUT LBL\n"
        "  label out LBL\n"
        "  pin C1.1 PS\n"
        "  pin R1.2 PS\n"
        "  pin VOUT.1 PS\n");
}

TEST(Netlist, ModulePortsJoinTheNetsInsideAndLocalNamesStayInTheirModule)
{
    MODULE child;
    std::deque<MODULE*> queue;
    NETLIST netlist;
    netlist.setdsnstats(2, 4, 0, &queue, nullptr);
    NET_PART* r1 = netlist.addelement("R1", "RES", props("VALUE=1k"), nullptr, 7);
    NET_MODULE* amp = netlist.addmodule("AMP", props(""), &child);
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue.front(), &child);
    netlist.newnet(); // the parent's net into the port IN of AMP, and a local X
    netlist.addpin(r1, "1", "1", ET_PASSIVE, 0);
    netlist.addlabel(amp, nullptr, "IN", ET_MODULEPORT);
    netlist.addlabel(nullptr, nullptr, "X", ET_LABEL);
    netlist.addnet();

    SHEET sheet;
    sheet.module = &child;
    netlist.setshtstats(&sheet, 0, 0);
    NET_PART* r2 = netlist.addelement("R2", "RES", props("VALUE=2k"), nullptr, 8);
    EXPECT_EQ(r2->name, "AMP.R2");
    netlist.newnet();
    netlist.addpin(r2, "1", "1", ET_PASSIVE, 0);
    netlist.addlabel(nullptr, nullptr, "IN", ET_INPUTTERM);
    netlist.addnet();
    netlist.newnet(); // a local X of its own, and a global name shared with the top level
    netlist.addpin(r2, "2", "2", ET_PASSIVE, 0);
    netlist.addlabel(nullptr, nullptr, "X", ET_LABEL);
    netlist.addlabel(nullptr, nullptr, "VCC", ET_GLOBAL);
    netlist.addnet();
    netlist.setshtstats(nullptr, 0, 0);
    netlist.newnet();
    netlist.addpin(r1, "2", "2", ET_PASSIVE, 0);
    netlist.addlabel(nullptr, nullptr, "VCC", ET_GLOBAL);
    netlist.addnet();
    EXPECT_EQ(netlist.validate(), 0);

    ASSERT_EQ(netlist.nets().size(), 2u);
    const NET* in = netlist.netptr("X");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->pins.size(), 2u) << "R1.1 and AMP.R2.1 through the port";
    const NET* vcc = netlist.netptr("VCC");
    ASSERT_NE(vcc, nullptr);
    EXPECT_EQ(vcc->pins.size(), 2u) << "the global name joins the module's X, which stays apart from X above";
    EXPECT_EQ(netlist.elementptr("amp.r2"), r2);
}

TEST(Netlist, MistakesAreLoggedWithTheirContext)
{
    std::ostringstream output;
    NETLIST netlist(&output);
    netlist.log.pushobjectctx("R1", BOX(0, 0, 10, 10));
    NET_PART* r1 = netlist.addelement("R1", "RES", props(""), nullptr, 0);
    netlist.addelement("r1", "RES", props(""), nullptr, 0);
    netlist.addpin(r1, "1", nullptr, ET_PASSIVE, 0);
    netlist.log.popctx();
    netlist.log.loginfo("done");
    EXPECT_EQ(netlist.errors(), 2);
    EXPECT_EQ(output.str(),
        "ERROR: Object 'R1': Duplicate reference 'r1'.\n"
        "ERROR: Object 'R1': Pin '1' outside a net.\n"
        "done\n");
    EXPECT_EQ(netlist.log.lines()[0].area, BOX(0, 0, 10, 10));
}

TEST(Netlist, TheSimulatorFileQuotesCommasAndKeepsEveryRecordOnItsLine)
{
    NETLIST netlist;
    netlist.setdesignname("Q,test");
    netlist.dprops.add("NOTE", "two\nlines");
    NET_PART* q = netlist.addelement("Q,1", "NPN", props("VALUE=\"BC,547\""), nullptr, 0);
    netlist.addscript("GEN", "*line one\n*line two", 2, nullptr, 0, 0);
    netlist.newnet();
    netlist.addpin(q, "B", "1", ET_INPUT, 0);
    netlist.addlabel(nullptr, nullptr, "BASE", ET_LABEL);
    netlist.addlabel(nullptr, nullptr, "Q1B", ET_MODULEPORT);
    netlist.addnet();
    ASSERT_EQ(netlist.validate(), 0);
    EXPECT_EQ(dump(netlist, NETFORMAT_SDF),
        "TAVI NETLIST FILE\n"
        "\"Q,test\"\n"
        "Design: \"Q,test\"\n"
        "*PROPERTIES,1\n"
        "NOTE=two lines\n"
        "*SCRIPT GEN\n"
        "*line one\n"
        "*line two\n"
        "*ENDSCRIPT\n"
        "*PARTLIST,1\n"
        "\"Q,1\",NPN,\"BC,547\"\n"
        "*NETLIST,1\n"
        "BASE,2\n"
        "\"Q,1\",IP,1\n"
        "BASE,LBL,BASE\n"
        "\n");
    std::ostringstream out;
    EXPECT_EQ(net_gen(netlist, out, 7), 0);
    EXPECT_EQ(netformatextension(NETFORMAT_SDF), std::string("SDF"));
}

TEST(Netlist, TheRulesCheckFindsFightingOutputsUndrivenInputsAndLonePins)
{
    NETLIST netlist;
    NET_PART* u1 = netlist.addelement("U1", "7400", props(""), nullptr, 0);
    NET_PART* u2 = netlist.addelement("U2", "7400", props(""), nullptr, 0);
    auto net = [&](std::initializer_list<std::pair<NET_PART*, int>> pins, int label = -1) {
        netlist.newnet();
        int n = 0;
        for (auto [part, type] : pins)
            netlist.addpin(part, std::to_string(++n).c_str(), nullptr, type, 0);
        if (label >= 0)
            netlist.addlabel(nullptr, nullptr, "P", label);
        netlist.addnet();
    };
    net({ { u1, ET_OUTPUT }, { u2, ET_OUTPUT } });
    net({ { u1, ET_INPUT }, { u2, ET_INPUT } });
    net({ { u1, ET_INPUT } }, ET_POWERTERM);
    net({ { u1, ET_OUTPUT }, { u2, ET_INPUT } });
    net({ { u2, ET_PASSIVE } });
    ASSERT_EQ(netlist.validate(), 0);
    std::ostringstream out;
    EXPECT_EQ(net_erc(netlist, out), 2);
    EXPECT_EQ(out.str(),
        "ERROR: Net '#00001' has 2 outputs driving it: U1.1, U2.2.\n"
        "ERROR: Net '#00002' has inputs but nothing drives it: U1.1, U2.2.\n"
        "WARNING: Net '#00005' has one pin only: U2.1.\n"
        "ERC: 2 error(s), 1 warning(s).\n");
}

TEST(Netlist, HelpersReadNamesAndBusRanges)
{
    int first = -1;
    int count = -1;
    EXPECT_EQ(getbusrange("D[0..7]", &first, &count), 1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(getbusrange("A[15..8]", &first, &count), 1);
    EXPECT_EQ(first, 15);
    EXPECT_EQ(count, 8);
    for (const char* bad : { "D", "D[0..]", "D[0..7]x", "D[-1..3]", "" })
        EXPECT_EQ(getbusrange(bad, &first, &count), 0) << bad;
    EXPECT_EQ(firstname("  VCC , VDD"), "VCC");
    EXPECT_EQ(firstname(""), "");
    EXPECT_EQ(electypeof("pt"), ET_POWERTERM);
    EXPECT_EQ(electypeof("XX"), -1);
    EXPECT_STREQ(electypename(99), "??");
}

} // namespace
