#include "engines/mavro/mavro.h"
#include "engines/mavro/symtab.h"
#include "engines/mavro/tests/stubnodes.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

// A stand-in engine behind the parser's descriptor: it makes numbered nodes and records each call.
struct Engine {
    StubNodes nodes;
    std::vector<std::string> calls;
    IFnode* ground = nullptr;
    int refuse = 0;  // the result of the next newNode when non-zero
};
Engine* engine = nullptr;

int newnode(IFcircuit*, IFnode** node, IFuid name)
{
    engine->calls.push_back(std::string("newNode ") + name);
    if (int result = engine->refuse) {
        engine->refuse = 0;
        return result;
    }
    if (IFnode* found = engine->nodes.find(name); found && std::string_view(found->name) == name) {
        *node = found;
        return E_EXISTS;
    }
    *node = engine->nodes.make(name, static_cast<int32_t>(engine->nodes.size() + 1));
    return 0;
}

int groundnode(IFcircuit*, IFnode** node, IFuid name)
{
    engine->calls.push_back(std::string("groundNode ") + (name ? name : "(none)"));
    if (engine->ground) {
        *node = engine->ground;
        return E_EXISTS;
    }
    engine->ground = engine->nodes.make(name, 0);
    *node = engine->ground;
    return 0;
}

int findnode(IFcircuit*, IFnode** node, IFuid name)
{
    engine->calls.push_back(std::string("findNode ") + name);
    *node = engine->nodes.find(name);
    return *node ? 0 : E_NOTFOUND;
}

class SymbolTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine = &stub;
        descriptor.newNode = newnode;
        descriptor.groundNode = groundnode;
        descriptor.findNode = findnode;
        inpinit(nullptr, &descriptor);
        table = INPtabInit(4);
    }
    void TearDown() override
    {
        INPtabEnd(table);
        inpinit(nullptr, nullptr);
        engine = nullptr;
    }

    // Enters a node name from a buffer of the caller's that is overwritten afterwards.
    int term(const char* text, IFnode** node, char** interned = nullptr)
    {
        std::string buffer = text;
        char* name = buffer.data();
        int result = INPtermInsert(nullptr, &name, table, node);
        if (result == 0 || result == E_EXISTS) {
            EXPECT_NE(name, buffer.data());
        }
        buffer.assign(buffer.size(), '?');
        if (interned)
            *interned = name;
        return result;
    }

    Engine stub;
    IFsimulator descriptor {};
    INPtables* table = nullptr;
};

}  // namespace

TEST_F(SymbolTable, NodesAreEnteredByExactSpelling)
{
    IFnode *out = nullptr, *again = nullptr, *clk = nullptr, *CLK = nullptr;
    char *first = nullptr, *second = nullptr;
    EXPECT_EQ(term("OUT", &out, &first), 0);
    EXPECT_EQ(term("OUT", &again, &second), E_EXISTS);
    EXPECT_EQ(again, out);
    EXPECT_EQ(second, first);
    EXPECT_STREQ(first, "OUT");
    EXPECT_STREQ(out->name, "OUT");

    EXPECT_EQ(term("clk", &clk), 0);
    EXPECT_EQ(term("CLK", &CLK), 0);
    EXPECT_NE(clk, CLK);
    EXPECT_EQ(term("CLK", &again), E_EXISTS);
    EXPECT_EQ(again, CLK);
    EXPECT_EQ(stub.calls, (std::vector<std::string> { "newNode OUT", "newNode clk", "newNode CLK" }));
}

TEST_F(SymbolTable, CardNamesFindTheKernelsSpelling)
{
    IFnode *out = nullptr, *clk = nullptr, *CLK = nullptr;
    term("OUT", &out);
    term("clk", &clk);
    term("CLK", &CLK);
    ASSERT_NE(table->find("out"), nullptr);
    EXPECT_EQ(table->find("out")->node, out);
    EXPECT_EQ(table->find("CLK")->node, CLK);
    EXPECT_EQ(table->find("Clk")->node, clk);
    EXPECT_EQ(table->find("in"), nullptr);
}

TEST_F(SymbolTable, GroundTakesSeveralNames)
{
    std::string gnd = "GND", zero = "0";
    char* name = gnd.data();
    IFnode *ground = nullptr, *other = nullptr;
    EXPECT_EQ(INPgndInsert(nullptr, &name, table, &ground), 0);
    name = zero.data();
    EXPECT_EQ(INPgndInsert(nullptr, &name, table, &other), 0);
    EXPECT_EQ(other, ground);
    name = gnd.data();
    EXPECT_EQ(INPgndInsert(nullptr, &name, table, &other), E_EXISTS);
    EXPECT_EQ(other, ground);
    EXPECT_EQ(stub.calls, (std::vector<std::string> { "groundNode GND", "groundNode 0" }));
}

TEST_F(SymbolTable, CardsFindTheEnginesNodesThenTheTablesOtherNames)
{
    IFnode *out = nullptr, *clk = nullptr, *CLK = nullptr, *ground = nullptr;
    term("OUT", &out);
    term("clk", &clk);
    term("CLK", &CLK);
    std::string gnd = "GND", zero = "0";
    char* name = gnd.data();
    INPgndInsert(nullptr, &name, table, &ground);
    name = zero.data();
    INPgndInsert(nullptr, &name, table, &ground);
    stub.calls.clear();

    // "0" is a name of the ground node the engine does not know: the table's.
    const struct {
        const char* card;
        IFnode* node;
    } cases[] = { { "out", out }, { "Clk", clk }, { "CLK", CLK }, { "gnd", ground }, { "0", ground } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.card);
        IFnode* node = nullptr;
        EXPECT_EQ(mavro::cardnode(nullptr, c.card, table, &node), 0);
        EXPECT_EQ(node, c.node);
    }
    EXPECT_EQ(stub.calls,
        (std::vector<std::string> {
            "findNode out", "findNode Clk", "findNode CLK", "findNode gnd", "findNode 0" }));
}

// A card's node is made once and found again in the engine, which keeps its name; a descriptor
// without findNode keeps it in the table instead. Either way INPtermInsert finds it there already.
TEST_F(SymbolTable, NodesOfCardsAreMadeOnceByTheEngine)
{
    for (bool asks : { true, false }) {
        SCOPED_TRACE(asks ? "with findNode" : "without findNode");
        TearDown();
        stub = Engine {};
        SetUp();
        if (!asks)
            descriptor.findNode = nullptr;
        IFnode *node = nullptr, *again = nullptr;
        stub.refuse = E_NOMEM;
        EXPECT_EQ(mavro::cardnode(nullptr, std::string_view("a b").substr(0, 1), table, &node), E_NOMEM);
        EXPECT_EQ(node, nullptr);
        EXPECT_EQ(mavro::cardnode(nullptr, std::string_view("a b").substr(0, 1), table, &node), 0);
        ASSERT_NE(node, nullptr);
        EXPECT_STREQ(node->name, "a");
        EXPECT_EQ(mavro::cardnode(nullptr, "A", table, &again), 0);
        EXPECT_EQ(again, node);
        EXPECT_EQ(table->findnode("a") != nullptr, !asks);

        EXPECT_EQ(term("a", &again), E_EXISTS);
        EXPECT_EQ(again, node);
        EXPECT_EQ(stub.nodes.size(), 1u);
    }
}

TEST_F(SymbolTable, PlainNamesAreInternedOnceAndCanBecomeNodes)
{
    std::string text = "R1";
    char* name = text.data();
    EXPECT_EQ(INPinsert(&name, table), 0);
    char* interned = name;
    EXPECT_NE(interned, text.data());
    std::string again = "R1";
    name = again.data();
    EXPECT_EQ(INPinsert(&name, table), E_EXISTS);
    EXPECT_EQ(name, interned);

    IFnode* node = nullptr;
    char* nodename = nullptr;
    EXPECT_EQ(term("R1", &node, &nodename), 0);
    EXPECT_EQ(nodename, interned);
    EXPECT_EQ(stub.calls, (std::vector<std::string> { "newNode R1" }));
}

TEST_F(SymbolTable, EngineRefusalLeavesNoNodeAndIsRetried)
{
    IFnode dummy {};
    IFnode* node = &dummy;
    stub.refuse = E_NOTFOUND;
    EXPECT_EQ(term("$0000002a", &node), E_NOTFOUND);
    EXPECT_EQ(node, nullptr);
    EXPECT_EQ(term("$0000002a", &node), 0);
    EXPECT_NE(node, nullptr);
}

TEST_F(SymbolTable, WithoutDescriptorOrArguments)
{
    IFnode* node = nullptr;
    inpinit(nullptr, nullptr);
    EXPECT_EQ(term("a", &node), E_NOCKT);
    char* none = nullptr;
    EXPECT_EQ(INPtermInsert(nullptr, &none, table, &node), E_BADVALUE);
    EXPECT_EQ(INPinsert(&none, table), E_BADVALUE);
    INPtabEnd(nullptr);
}
