#include "simulator/kernel/tests/factorytesting.h"

#include "simulator/kernel/activemodels.h"
#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

TEST_F(FactoryTest, ARegisteredModelReplacesTheStandInOfItsKind)
{
    ASSERT_NE(make("U1", "VCR", "PRIMITIVE=ANALOG"), nullptr);
    MODELMAKER standin = registermodel(KIND_VSWITCH,
        [](const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* list) -> COMPONENT* {
            return new DUMMY(name, row, model, list);
        });
    ASSERT_NE(standin, nullptr);
    COMPONENT* part = make("U2", "VCR", "PRIMITIVE=ANALOG");
    registermodel(KIND_VSWITCH, standin);
    EXPECT_EQ(kernelclass(part), "DUMMY");
    EXPECT_STREQ(part->row->name, "VCR");

    // A kind nobody registered makes no part, and nothing is left behind.
    MODELMAKER none = registermodel(KIND_VSWITCH, nullptr);
    EXPECT_EQ(make("U3", "VCR", "PRIMITIVE=ANALOG"), nullptr);
    registermodel(KIND_VSWITCH, none);
    EXPECT_EQ(circuit->findcomponent("U3"), nullptr);
}

TEST_F(FactoryTest, UnknownDeviceTypeEndsTheLoad)
{
    EXPECT_FALSE(guarded([&] { make("U9", "FLUXCAP", "PRIMITIVE=ANALOG"); }));
    EXPECT_THAT(log(), HasSubstr("#F:U9 - device type 'FLUXCAP' not recognized!\n"));
    EXPECT_EQ(circuit->findcomponent("U9"), nullptr);
}

TEST_F(FactoryTest, ModelsAreTypedByTheirFirstUser)
{
    PROPLIST empty(0, 1);
    circuit->addmodel("QM", &empty);
    circuit->addmodel(std::string(31, 'L').c_str(), &empty);
    circuit->addmodel("PSU", &empty);
    COMPONENT* q1 = make("Q1", "NPN", "PRIMITIVE=ANALOG,MODEL=Q2N");
    EXPECT_EQ(q1, circuit->findcomponent("Q1"));
    EXPECT_THAT(log(), HasSubstr("#W:Model Q2N specified but not found in Q1.\n"));

    make("Q2", "NPN", "PRIMITIVE=ANALOG,MODEL=QM");
    EXPECT_STREQ(circuit->models["QM"]->properties["TYPE"], "NPN");
    make("Q3", "PNP", "PRIMITIVE=ANALOG,MODEL=QM");
    EXPECT_THAT(log(), HasSubstr("#W:Model QM assigned to differing device types NPN and PNP.\n"));
    EXPECT_STREQ(circuit->models["QM"]->properties["TYPE"], "NPN");

    // A model name longer than the index keeps finds the model stored under the cut name.
    make("L1", "INDUCTOR", ("PRIMITIVE=ANALOG,MODEL=" + std::string(40, 'L')).c_str());
    EXPECT_STREQ(circuit->models[std::string(31, 'L').c_str()]->properties["TYPE"], "INDUCTOR");
    // A power interface names its model by VALUE; an empty VALUE names none.
    make("U1_PWR", "X", "PRIMITIVE=POWER,VALUE=PSU");
    EXPECT_STREQ(circuit->models["PSU"]->properties["TYPE"], "POWER");
    make("U2_PWR", "X", "PRIMITIVE=POWER,VALUE=");
    EXPECT_EQ(log().find("Model  specified"), std::string::npos);
}

TEST_F(FactoryTest, PlaceholderKeepsNoSpiceModel)
{
    COMPONENT* part = make("X1", "CONN", "SPICEMODEL=M,SPICEFILE=F.MOD,SPICELIB=L,REF=X1");
    EXPECT_EQ(part->getproperty("SPICEMODEL"), nullptr);
    EXPECT_EQ(part->getproperty("SPICEFILE"), nullptr);
    EXPECT_EQ(part->getproperty("SPICELIB"), nullptr);
    EXPECT_STREQ(part->getproperty("REF"), "X1");
}

TEST_F(FactoryTest, RepeatedPartNameKeepsTheFirstPart)
{
    read("TAVI\n\n:x\n*PARTLIST,2\nR1,RESISTOR,1k,PRIMITIVE=ANALOG\nR1,INV,,PRIMITIVE=DIGITAL\n"
         "*NETLIST,1\nN,1\nR1,PS,1\n\n");
    EXPECT_THAT(log(), HasSubstr("#W:Part {P:R1} is listed more than once; the first one is kept.\n"));
    ASSERT_NE(part("R1"), nullptr);
    EXPECT_STREQ(part("R1")->getvalue(), "1k");
    EXPECT_EQ(circuit->parts.count, 1);
    EXPECT_EQ(circuit->digitalparts.count, 0);
    EXPECT_FALSE(circuit->hasdigital());
    EXPECT_THAT(pins("R1"), ElementsAre("1:0:N"));
}

struct ACTIVEOBJECT final : IACTIVEMODEL {
    void attach(void*) override { }
    ISPICEMODEL* getspicemodel(const char*) override { return nullptr; }
    IPALLEXMODEL* getpallexmodel(const char*) override { return nullptr; }
};

TEST(ActiveModels, TextsNameAnIdAfterTheColon)
{
    ACTIVEOBJECT object;
    setactivemodel(0x2A, &object);
    struct Case {
        const char* text;
        ACTIVEMODEL result;
        uint32_t id;
    } cases[] = {
        { "0001:0000002A", ACTIVEMODEL::FOUND, 0x2A },
        { "1:2a", ACTIVEMODEL::FOUND, 0x2A },
        { "1:2B", ACTIVEMODEL::UNKNOWN, 0x2B },
        { "1:10000002A", ACTIVEMODEL::UNKNOWN, 0x10000002 },
        { "0000002A", ACTIVEMODEL::NONE, 0 },
        { "1:", ACTIVEMODEL::NONE, 0 },
        { nullptr, ACTIVEMODEL::NONE, 0 },
    };
    for (const Case& c : cases) {
        IACTIVEMODEL* found = &object;
        uint32_t id = 0;
        EXPECT_EQ(lookupactivemodel(c.text, &found, &id), c.result) << (c.text ? c.text : "null");
        EXPECT_EQ(id, c.id) << (c.text ? c.text : "null");
        EXPECT_EQ(found, c.result == ACTIVEMODEL::FOUND ? &object : nullptr);
    }
    setactivemodel(0x2A, nullptr);
    IACTIVEMODEL* found = nullptr;
    uint32_t id = 0;
    EXPECT_EQ(lookupactivemodel("1:2A", &found, &id), ACTIVEMODEL::UNKNOWN);
}

TEST(PrimitiveTable, SynonymsDifferOnlyInName)
{
    auto same = [](const PRIMITIVE& a, const PRIMITIVE& b, bool spicetype) {
        auto text = [](const char* s) { return std::string(s ? s : "-"); };
        return a.kind == b.kind && (!spicetype || text(a.spicetype) == text(b.spicetype))
            && text(a.valuekeyword) == text(b.valuekeyword) && text(a.modelflag) == text(b.modelflag)
            && text(a.pinorder) == text(b.pinorder) && text(a.dcpaths) == text(b.dcpaths)
            && text(a.watch) == text(b.watch);
    };
    struct Case {
        const char* name;
        const char* synonym;
        bool spicetype;
    } cases[] = { { "NJFET", "NJF", true }, { "PJFET", "PJF", true }, { "RESISTOR", "RES", true },
        { "VSWITCH", "VCR", false }, { "CSWITCH", "CCR", false } };
    for (const Case& c : cases) {
        ASSERT_NE(findprimitive(c.name), nullptr);
        ASSERT_NE(findprimitive(c.synonym), nullptr);
        EXPECT_TRUE(same(*findprimitive(c.name), *findprimitive(c.synonym), c.spicetype)) << c.name;
    }
    EXPECT_EQ(primitivetable[PRIMITIVECOUNT].name, nullptr);
    EXPECT_EQ(findprimitive("resistor"), &primitivetable[0]);
    EXPECT_EQ(findprimitive("WPROBE"), &primitivetable[PRIMITIVECOUNT - 1]);
    // The builder's rows are never found by name.
    for (const char* name : { "PWR!", "ADC!", "DAC!", "DIGITAL", "EXTMODEL", "SCRIPT", "DUMMY" })
        EXPECT_EQ(findprimitive(name), nullptr) << name;
}

} // namespace
