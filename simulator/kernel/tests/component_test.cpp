#include "simulator/kernel/tests/kerneltesting.h"

#include "simulator/kernel/instance.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/temp_folder.h"

#include <memory>
#include <string>

namespace {

// A part whose pins are analog, digital or dual by their first letter (a, d, x).
class PinKinds : public COMPONENT {
public:
    using COMPONENT::COMPONENT;
    int isanalogpin(SDF_PIN* pin) override { return pin->netlistname[0] == 'a'; }
    int isdigitalpin(SDF_PIN* pin) override { return pin->netlistname[0] == 'd'; }
    int isdualpin(SDF_PIN* pin) override { return pin->netlistname[0] == 'x'; }
};

PRIMITIVE row(const char* pinorder, const char* dcpaths = nullptr, const char* watch = nullptr, int32_t kind = 0x1000)
{
    return PRIMITIVE { "TEST", nullptr, kind, -1, nullptr, nullptr, nullptr, pinorder, dcpaths, watch };
}

class ComponentTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        signon();
    }
    char* net(const char* name) { return netlist.getnet(name); }
    SDF_NETLIST netlist;
};

TEST_F(ComponentTest, OneLetterPinsAreNumberedByThePinOrder)
{
    struct Case {
        const char* pinorder;
        const char* given;
        const char* stored;
    } cases[] = { { "CBE", "b", "2" }, { "CBE", "E", "3" }, { "CBE", "X", "X" }, { "CBE", "BE", "BE" },
        { "-+;21", "+", "2" }, { "-+;21", "2", "1" }, { "", "b", "b" } };
    for (const Case& c : cases) {
        PRIMITIVE primitive = row(c.pinorder);
        COMPONENT part("Q1", &primitive, nullptr, nullptr);
        SDF_PIN* pin = part.addpin(c.given, PIN_PS, net("N"));
        EXPECT_STREQ(pin->name, c.stored) << c.pinorder << " " << c.given;
        EXPECT_STREQ(pin->netlistname, c.given);
        EXPECT_EQ(part.findpin(c.stored), pin);
    }
}

TEST_F(ComponentTest, PinsMarkTheirNets)
{
    struct Case {
        const char* pin;
        SDF_PINTYPE type;
        uint32_t flags;
    } cases[] = { { "a1", PIN_PS, 0x81 }, { "d1", PIN_PS, 0x86 }, { "d2", PIN_IP, 0x82 }, { "d3", PIN_OP, 0x84 },
        { "d4", PIN_IO, 0x86 }, { "d5", PIN_TS, 0x84 }, { "d6", PIN_PP, 0x80 }, { "x1", PIN_PS, 0x80 } };
    PinKinds part("U1", nullptr, nullptr, nullptr);
    for (const Case& c : cases) {
        char* pinnet = net(c.pin);
        part.addpin(c.pin, c.type, pinnet);
        EXPECT_EQ(netflags(pinnet), c.flags) << c.pin;
    }
    DUMMY dummy("X1", nullptr, nullptr, nullptr);
    dummy.addpin("1", PIN_PS, net("dummy"));
    EXPECT_EQ(netflags(net("dummy")), 0u);
}

TEST_F(ComponentTest, DualPinsSpreadAnalognessButNotOntoPowerNets)
{
    PinKinds part("U1", nullptr, nullptr, nullptr);
    part.addpin("x1", PIN_IO, net("A"));
    part.addpin("x2", PIN_IO, net("B"));
    part.addpin("x3", PIN_IO, net("P"));
    netflags(net("A")) |= NET_ANALOG;
    netflags(net("P")) |= NET_POWER;
    EXPECT_EQ(part.claimpins(NET_ANALOG, NET_POWER), 1);
    EXPECT_EQ(netflags(net("B")) & NET_ANALOG, NET_ANALOG);
    EXPECT_EQ(netflags(net("P")) & NET_ANALOG, 0u);
    EXPECT_EQ(part.claimpins(NET_ANALOG, NET_POWER), 0);
}

TEST_F(ComponentTest, DcPathsJoinTheNetsTheTextNames)
{
    struct Case {
        const char* text;
        int all;
        const char* from;
        const char* joined;
    } cases[] = { { "G", 0, "N1", "" }, { "G", 1, "N1", "N2 N3 N4" }, { "*", 0, "N2", "N1 N3 N4" },
        { "*", 0, "Z", "" }, { "12,34", 0, "N3", "N4" }, { "12,34", 0, "N1", "N2" }, { "134", 0, "N1", "N3 N4" },
        { "134", 0, "N2", "" } };
    for (const Case& c : cases) {
        PROPLIST properties(("DCPATH=\"" + std::string(c.text) + "\"").c_str());
        COMPONENT part("M1", nullptr, nullptr, &properties);
        for (const char* pin : { "1", "2", "3", "4" })
            part.addpin(pin, PIN_PS, net((std::string("N") + pin).c_str()));
        DIDX index;
        part.adddcpaths(c.all, &index, net(c.from));
        std::string joined;
        for (int i = 0; i < index.count; ++i)
            joined += (joined.empty() ? "" : " ") + std::string(index.key(i));
        EXPECT_EQ(joined, c.joined) << c.text << " from " << c.from;
    }
}

TEST_F(ComponentTest, ElementIdComesFromTheClosestOwnerThatHasOne)
{
    TestCircuit test;
    CIRCUIT& circuit = test.circuit;
    PROPLIST owner("EID=1A");
    circuit.addcomponent("U1", "IC", &owner);
    circuit.addcomponent("U1_U2", "IC", nullptr);
    auto* part = static_cast<COMPONENT*>(circuit.addcomponent("U1_U2_R3", "R", nullptr));
    auto* orphan = static_cast<COMPONENT*>(circuit.addcomponent("X_Y", "R", nullptr));
    EXPECT_EQ(part->geteid(), 0u);
    part->initialise(&circuit, nullptr);
    orphan->initialise(&circuit, nullptr);
    EXPECT_EQ(part->geteid(), 0x1Au);
    EXPECT_EQ(orphan->geteid(), 0u);
}

TEST_F(ComponentTest, ModelDataMustLieInsideItsBlock)
{
    static const char block[16] = "0123456789abcde";
    MODDATABLOCK data { block, 16 };
    DPA list;
    list.add(&data);
    struct Case {
        const char* moddata;
        int32_t offset;
        int32_t length;
    } cases[] = { { "ROM,4,8", 4, 8 }, { "ROM,0,16", 0, 16 }, { "ROM,10,8", -1, 0 }, { "ROM,17,0", -1, 0 } };
    for (const Case& c : cases) {
        PROPLIST properties((std::string("MODDATA=\"") + c.moddata + "\"").c_str());
        COMPONENT part("U1", nullptr, nullptr, &properties);
        part.bindmoddata(&list, nullptr);
        if (c.offset < 0) {
            EXPECT_EQ(part.moddata, nullptr) << c.moddata;
            continue;
        }
        EXPECT_EQ(part.moddata, block + c.offset) << c.moddata;
        EXPECT_EQ(part.moddatalength, c.length);
    }
}

TEST_F(ComponentTest, UnknownSpiceTypeIsFatalAndKnownOnesAreLookedUpOnce)
{
    PRIMITIVE resistor { "RESISTOR", "resistor", 0x1000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
    COMPONENT first("R1", &resistor, nullptr, nullptr);
    EXPECT_GE(resistor.spiceindex, 0);
    EXPECT_STREQ(resistor.device->name, "Resistor");
    PRIMITIVE unknown { "NOPE", "Nothing", 0x1000, -1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
    EXPECT_THROW(COMPONENT("X1", &unknown, nullptr, nullptr), const char*);
    EXPECT_NE(log().find("#F:SPICE object type Nothing not found!\n"), std::string::npos) << log();
}

class WatchTest : public ComponentTest {
protected:
    // The watch record the part writes, read back from a partition.
    std::string record(COMPONENT& part, const DPA& nodes, const double* values)
    {
        std::string path = (vkt::test::tempFolder() / "watch.PDF").string();
        PARTITION partition("WATCH", path.c_str());
        EXPECT_EQ(partition.open(PARTITION::MODE_UPDATE), 1);
        partition.beginrun();
        partition.endrun();
        partition.beginrun();
        part.watchpopup(&nodes, values, nullptr, &partition);
        partition.endrecords();
        DIDX records;
        partition.loadrecords(records);
        const char* found = records[part.name];
        std::string text = found ? found + strlen(found) + 1 : "(no record)";
        records.zap();
        return text;
    }
};

TEST_F(WatchTest, TerminalVoltagesAndRelativeVoltagesOfAnAnalogPart)
{
    PRIMITIVE npn = row("CBE", "*", "vce,vcb,vbe=Base;ib,ic,ie,p");
    PinKinds part("Q1", &npn, nullptr, nullptr);
    part.addpin("c", PIN_PS, net("C"));
    part.addpin("b", PIN_PS, net("B"));
    part.addpin("e", PIN_PS, net("GND"));
    netflags(net("C")) |= NET_ANALOG;
    netflags(net("B")) |= NET_ANALOG;
    netflags(net("GND")) |= NET_POWER;
    DPA nodes;
    for (const char* node : { "GND", "C", "B" })
        nodes.add(const_cast<char*>(node));
    const double values[] = { 0, 5.2, 0.65 };
    EXPECT_EQ(record(part, nodes, values),
        "{C=400000,F=b,W=11,X=10,Y=10,U}TERMINAL VOLTAGES{U}\n{H}\n"
        "{C=0}C\t{C=4000}5.200V\n{C=0}B\t{C=4000}650.0mV\n{C=0}E\t{C=4000}0.00V\n"
        "\n{C=400000,U}RELATIVE VOLTAGES{U}\n{H}\n"
        "{C=0}VCE\t{C=4000}5.200V\n{C=0}VCB\t{C=4000}4.550V\n{C=0}Base\t{C=4000}650.0mV\n");
}

TEST_F(WatchTest, LogicStatesAndTooManyPins)
{
    PinKinds gate("U1", nullptr, nullptr, nullptr);
    gate.addpin("d1", PIN_IP, net("IN"));
    gate.addpin("d2", PIN_OP, net("OUT"));
    DPA nodes;
    EXPECT_EQ(record(gate, nodes, nullptr),
        "{C=400000,F=b,W=11,X=10,Y=10,U}TERMINAL LOGIC STATES{U}\n{H}\n{C=0}d1\t{C=4000}UND\n{C=0}d2\t{C=4000}UND\n");

    COMPONENT big("U2", nullptr, nullptr, nullptr);
    for (int i = 1; i <= 41; ++i)
        big.addpin(std::to_string(i).c_str(), PIN_PS, net("N"));
    EXPECT_EQ(record(big, nodes, nullptr), "{C=400000,F=b,W=10,X=10,Y=10}<TOO MANY PINS TO DUMP>\n{H}\n");
}

TEST_F(ComponentTest, InstanceIndexesItsPinsByKind)
{
    struct PARTS : INSTANCE {
        using INSTANCE::INSTANCE;
        int isanalogpin(SDF_PIN* pin) override { return pin->netlistname[0] == 'a'; }
        int isdigitalpin(SDF_PIN* pin) override { return pin->netlistname[0] == 'd'; }
        int isdualpin(SDF_PIN* pin) override { return pin->netlistname[0] == 'x'; }
    };
    PARTS part("U1", nullptr, nullptr, nullptr);
    part.addpin("a1", PIN_PS, net("A"));
    part.addpin("d1", PIN_IP, net("D"));
    part.addpin("x1", PIN_IO, net("X"));
    part.addpin("n1", PIN_PS, nullptr);
    EXPECT_EQ(part.analogpins.count, 2);
    EXPECT_EQ(part.digitalpins.count, 2);
    EXPECT_NE(part.analogpins["X1"], nullptr);
    EXPECT_EQ(part.analogpins["x1"]->node, -1);
    EXPECT_TRUE(part.ismixed());

    netproperties(net("A")).add("TTOL", "1n");
    INETINFO* info = part.getpinnet("A1");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(part.getpinnet("a1"), info);
    EXPECT_STREQ(info->name(), "A");
    EXPECT_TRUE(info->isanalog());
    EXPECT_FALSE(info->isdigital());
    EXPECT_DOUBLE_EQ(info->getnumval("TTOL", 0), 1e-9);
    EXPECT_STREQ(info->getstrval("NONE", "def"), "def");
    EXPECT_EQ(part.getpinnet("n1"), nullptr);
    EXPECT_EQ(part.getpinnet("zz"), nullptr);
}

TEST_F(ComponentTest, InstanceServicesReadPropertiesAndFindPins)
{
    struct PART : INSTANCE {
        using INSTANCE::INSTANCE;
        int isanalogpin(SDF_PIN*) override { return 1; }
    };
    PROPLIST properties(0, 1);
    const char* entries[][2] = { { "A", "[NULL]x" }, { "B", "?5" }, { "C", "2*3" }, { "D", "yes" }, { "E", "maybe" },
        { "F", "1F" }, { "G", "0x1F" }, { "H", "%101" }, { "ACTIVE", "HOST:2A" } };
    for (const auto& entry : entries)
        properties.add(entry[0], entry[1]);
    PART part("U1", nullptr, nullptr, &properties);
    TestCircuit test;
    part.initialise(&test.circuit, nullptr);
    part.addpin("1", PIN_PS, net("N1"));
    part.analogpins["1"]->node = 7;

    EXPECT_STREQ(part.getstrval("A", "def"), "def");
    EXPECT_STREQ(part.getstrval("C", "def"), "2*3");
    EXPECT_DOUBLE_EQ(part.getnumval("B", 1.5), 1.5);
    EXPECT_DOUBLE_EQ(part.getnumval("C", 0), 6);
    EXPECT_EQ(part.getboolval("D", 0), 1);
    mark = size();
    EXPECT_EQ(part.getboolval("E", 0), 0);
    EXPECT_NE(log().find("#W:Bad boolean value [maybe] for property [E].\n"), std::string::npos) << log();
    EXPECT_EQ(part.gethexval("F", 0), 0x1Fu);
    EXPECT_EQ(part.gethexval("G", 0), 0x1Fu);
    EXPECT_EQ(part.gethexval("H", 0), 5u);
    EXPECT_EQ(part.gethexval("A", 9), 9u);
    EXPECT_EQ(part.getactiveid(), 0x2Au);

    mark = size();
    EXPECT_EQ(part.getspicenode("A,1", 1), 7);
    EXPECT_EQ(part.getspicenode("A B", 0), -1);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(part.getspicenode("Z", 1), -1);
    EXPECT_NE(log().find("#E:Pin 'Z' not found.\n%S=U1\n"), std::string::npos) << log();

    mark = size();
    EXPECT_EQ(part.loadmemory("CODE.elf", nullptr, 0, 0, 0), 0);
    EXPECT_NE(log().find("#E:Unsupported file extension in 'CODE.elf'. Must be .BIN, .HEX. or .S19 format.\n"),
        std::string::npos)
        << log();
}

TEST_F(ComponentTest, CircuitEvaluatesPropertiesAgainstItsVariables)
{
    TestCircuit test;
    CIRCUIT& circuit = test.circuit;
    circuit.setproperty("VCC", "5");
    circuit.setproperty("BAD", "(");
    circuit.setproperty("REF", "2*VCC");
    circuit.setsweepvalue("VCC", 3.3);
    double value;
    EXPECT_EQ(circuit.getoption("VCC", &value), 1);
    EXPECT_DOUBLE_EQ(value, 3.3);
    EXPECT_EQ(circuit.getoption("BAD", &value), 0);
    EXPECT_EQ(circuit.getoption("REF", &value), 1);
    EXPECT_DOUBLE_EQ(value, 6.6);

    struct Case {
        const char* text;
        bool evaluated;
        double value;
    } cases[] = { { "4k7", true, 4700 }, { "VCC", true, 3.3 }, { "pwr(REF/VCC, 3)", true, 8 }, { nullptr, false, -1 },
        { "?", false, -1 }, { "[null]", false, -1 }, { "MISSING", false, -1 }, { "1/(VCC-VCC)", false, -1 },
        { "1 2", false, -1 } };
    for (const Case& c : cases) {
        mark = size();
        EXPECT_EQ(circuit.evalproperty("VALUE", "R1", c.text, &value, -1), c.evaluated) << (c.text ? c.text : "null");
        EXPECT_DOUBLE_EQ(value, c.value);
    }
    EXPECT_EQ(log(), "#W:Error Operator expected parsing property VALUE of R1\n");
}

}  // namespace
