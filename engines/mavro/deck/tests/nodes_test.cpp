#include "engines/mavro/deck/tests/deck.h"

#include <gtest/gtest.h>

#include <cinttypes>

namespace {

// The kernel's nets by index, and the node hooks it puts into slots 5 and 6 before the second pass.
std::vector<std::string> nets;
IFsimulator* engine = nullptr;

int newnodehook(IFcircuit* ckt, IFnode** node, IFuid name)
{
    if (name[0] != '$')
        return engine->newNode(ckt, node, name);
    uint32_t index = static_cast<uint32_t>(std::strtoul(name + 1, nullptr, 16));
    if (index >= nets.size())
        return E_NOTFOUND;
    return engine->findNode(ckt, node, nets[index].c_str());
}

int groundnodehook(IFcircuit* ckt, IFnode** node, IFuid name)
{
    int result = engine->groundNode(ckt, node, nullptr);
    return result == E_EXISTS ? 0 : engine->groundNode(ckt, node, name);
}

} // namespace

TEST_F(DeckTest, NodesOfTheKernelAndOfTheDeck)
{
    // The kernel enters its nets by their own spelling, then hooks the node slots.
    IFsimulator* fake = nullptr;
    siminit(&frontend, &fake);
    engine = fake;
    nets = { "GND", "OUT", "Clk", "clk" };
    IFnode* node = nullptr;
    for (std::size_t i = 1; i < nets.size(); ++i) {
        char* name = nets[i].data();
        ASSERT_EQ(mavro::terminsert(ckt, &name, table, &node), 0);
    }
    char* ground = nets[0].data();
    ASSERT_EQ(mavro::gndinsert(ckt, &ground, table, &node), 0);
    std::string part = "R1";
    char* name = part.data();
    mavro::insert(&name, table);
    descriptor.newNode = newnodehook;
    descriptor.groundNode = groundnodehook;

    EXPECT_EQ(load({ "title", "r:u1:1 $00000001 1:mid 1k", "r:u1:2 1:mid 0 1k", "r2 out gnd 1k",
                  "r3 clk Clk 1k", "r4 r1 x#y 1k", "r5 $00000063 0 1k", "r6 $00000001 out 1k" }),
        1);
    // Card nodes are asked of the engine first, so a handle reaches the hook each time it is named
    // and the ground node's name "0", which the engine does not know, its hook.
    EXPECT_EQ(calls(),
        (std::vector<std::string> { "newModel(Resistor, default Resistor)", "findNode($00000001)",
            "findNode(OUT)", "findNode(1:mid)", "newNode(1:mid)", "newInstance(default Resistor, r:u1:1)",
            "bindNode(r:u1:1, 1, OUT)", "bindNode(r:u1:1, 2, 1:mid)",
            "setInstanceParm(r:u1:1, resistance=1000)", "findNode(1:mid)", "findNode(0)", "groundNode(-)",
            "newInstance(default Resistor, r:u1:2)", "bindNode(r:u1:2, 1, 1:mid)", "bindNode(r:u1:2, 2, GND)",
            "setInstanceParm(r:u1:2, resistance=1000)", "findNode(out)", "findNode(gnd)",
            "newInstance(default Resistor, r2)", "bindNode(r2, 1, OUT)", "bindNode(r2, 2, GND)",
            "setInstanceParm(r2, resistance=1000)", "findNode(clk)", "findNode(Clk)",
            "newInstance(default Resistor, r3)", "bindNode(r3, 1, clk)", "bindNode(r3, 2, Clk)",
            "setInstanceParm(r3, resistance=1000)", "findNode(r1)", "newNode(r1)", "findNode(x#y)",
            "newNode(x#y)", "newInstance(default Resistor, r4)", "bindNode(r4, 1, r1)",
            "bindNode(r4, 2, x#y)", "setInstanceParm(r4, resistance=1000)", "findNode($00000063)",
            "findNode($00000001)", "findNode(OUT)", "findNode(out)", "newInstance(default Resistor, r6)",
            "bindNode(r6, 1, OUT)", "bindNode(r6, 2, OUT)", "setInstanceParm(r6, resistance=1000)" }));
    EXPECT_EQ(error(7), "node \"$00000063\": not found");
}
