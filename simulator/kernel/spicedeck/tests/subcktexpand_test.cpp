#include "simulator/kernel/spicedeck/subcktexpand.h"

#include "simulator/kernel/spicedeck/tests/deck_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace decktest;

struct EXPANSION {
    const char* name;
    const char* deck;
    const char* expanded; // null: the expansion fails
    const char* out = ""; // on the module's standard output
    const char* err = ""; // on the module's standard error
};

void expect(const EXPANSION& c)
{
    MODULEOUTPUT output;
    SPICECARD* head = expandsubckts(makecards(c.deck));
    if (c.expanded)
        EXPECT_EQ(cardtexts(head), c.expanded) << c.name;
    else
        EXPECT_EQ(head, nullptr) << c.name;
    EXPECT_EQ(output.out(), c.out) << c.name;
    EXPECT_EQ(output.err(), c.err) << c.name;
    freecards(head);
}

TEST(SubcktExpand, Decks)
{
    const EXPANSION cases[] = {
        { "a deck without definitions only loses the parentheses around node lists",
            "* title\nR1 (a b) 1k\nX1 (a b) amp\nV1 a 0 SIN(0 1 1k)\nE1 a b (c,d) 2",
            "* title\nR1 a b 1k\nX1 a b amp\nV1 a 0 SIN(0 1 1k)\nE1 a b (c,d) 2" },
        { "a body card takes the instance's nodes and label",
            ".subckt amp in out\nR1 in mid 1k\n.ends\nX1 a b amp", "R:1:1 a 1:mid 1k" },
        { "node 0 stays, formals take the actual nodes, parentheses on the definition go",
            ".SUBCKT amp (in out)\nR1 in 0 1k\nC2 out mid 1n\n.ENDS amp\nX1 (a b) amp",
            "R:1:1 a 0 1k\nC:1:2 b 1:mid 1n" },
        { "cards around the definition keep their places",
            "R0 a 0 1\n.subckt amp p\nR1 p 0 1\n.ends\nX1 a amp\nX2 b amp\nR9 b 0 1",
            "R0 a 0 1\nR:1:1 a 0 1\nR:2:1 b 0 1\nR9 b 0 1" },
        { "local models are relabelled with the devices using them, outside models are not",
            ".model DG D\n.subckt amp in out\n.model DL D IS=1f\nD1 in out DL\nD2 in out DG\n.ends\nX1 a b "
            "amp",
            ".model DG D\n.model 1:DL D IS=1f\nD:1:1 a b 1:DL \nD:1:2 a b DG" },
        { "a model of another copy at the same level does not capture an outside model",
            ".model M D\n.subckt a1 p\n.model M D\nD1 p 0 M\n.ends\n.subckt a2 p\n.model N D\nD1 p 0 "
            "M\n.ends\n"
            "X1 n1 a1\nX2 n2 a2",
            ".model M D\n.model 1:M D\nD:1:1 n1 0 1:M \n.model 2:N D\nD:2:1 n2 0 M" },
        { "the label drops the letter X and leading colons",
            ".subckt s p\nR5 p 0 1\nC p 0 1n\n.ends\nX:amp n s", "R:amp:5 n 0 1\nC:amp n 0 1n" },
        { "an instance inside a definition naming an outer subcircuit is expanded outside",
            ".subckt inner p q\nR5 p q 1k\n.ends\n.subckt outer a b\nX2 a mid inner\n.ends\nX1 n1 n2 outer",
            "R:1:2:5 n1 1:mid 1k" },
        { "a subcircuit defined two levels out sets the node count of a nested instance",
            ".subckt leaf p\nR1 p 0 1\n.ends\n.subckt mid a\n.subckt inner x\nX5 x leaf\n.ends\nX3 a "
            "inner\n.ends\n"
            "X1 n mid",
            "R:1:3:5:1 n 0 1" },
        { "voltage and current references are relabelled",
            ".subckt s p\nB1 p 0 V=V(vout)+I(VSENSE)*v( p , 0)+DIV(1)\nVSENSE vout 0 0\nB2 p 0 I=V(a, "
            "b)\n.ends\n"
            "X1 n s",
            "B:1:1 n 0 V=V(1:vout)+I(V:1:SENSE)*v(n,0)+DIV(1)\nV:1:SENSE 1:vout 0 0\nB:1:2 n 0 "
            "I=V(1:a,1:b)" },
        { "controlling devices of K, F, H and W cards take the label like device names",
            ".subckt s p\nK1 L1 L2 0.9\nF1 p 0 VS 2\nH1 p 0 V2 1k\nW1 p 0 VC SWM\n.ends\nX1 n s",
            "K:1:1 L:1:1 L:1:2 0.9\nF:1:1 n 0 V:1:S 2\nH:1:1 n 0 V:1:2 1k\nW:1:1 n 0 V:1:C SWM" },
        { "a transistor's model after three nodes is told from a fourth node",
            ".model NPNX NPN\n.subckt s c b e\nQ1 c b e NPNX\nQ2 c b e sub NPNX\n.ends\nX1 n1 n2 n3 s",
            ".model NPNX NPN\nQ:1:1 n1 n2 n3 NPNX\nQ:1:2 n1 n2 n3 1:sub NPNX" },
        { "an instance of a subcircuit defined nowhere stays",
            ".subckt amp p\nR1 p 0 1\n.ends\nX1 a b missing\nX2 alone", "X1 a b missing\nX2 alone" },
        { "an unknown device letter counts two nodes", ".subckt s p\nY1 p q 5\n.ends\nX1 n s",
            "Y:1:1 n 1:q 5", "Warning: unknown device type: y\n" },
        { "a nested instance of a subcircuit defined nowhere keeps its nodes unrelabelled",
            ".subckt s p\nX2 p nowhere\n.ends\nX1 n s", "X:1:2 p nowhere",
            "Error: no such subcircuit: nowhere\n" },
        { "one node short", ".subckt amp in out\nR1 in out 1k\n.ends\nX7 a amp", nullptr, "",
            "Too few parameters for subcircuit type \"amp\" (instance: x7)\n" },
        { "one node too many", ".subckt amp in out\nR1 in out 1k\n.ends\nX7 a b c amp", nullptr, "",
            "Too many parameters for subcircuit type \"amp\" (instance: x7)\n" },
        { "a card with too few nodes", ".subckt s p\nR1 p\n.ends\nX1 n s", nullptr,
            "Error: too few nodes: R1 p\n" },
        { "a coupling with too few inductors", ".subckt s p\nK1 L1\n.ends\nX1 n s", nullptr,
            "Error: too few devs: K1 L1\n" },
        { "a transistor card with two tokens counts no nodes", ".subckt s p\nQ1 p\n.ends\nX1 n s", "Q:1:1 p",
            "Error: too few nodes for BJT: Q1 p\n" },
        { ".ends before any .subckt", "R1 a b 1\n.ends\n.subckt s p\n.ends", nullptr,
            "Error: misplaced .ends line: .ends\n" },
        { ".subckt as the last card", "R1 a b 1\n.subckt s p", nullptr, "Error: no .ends line.\n" },
        { ".subckt without its .ends", ".subckt s p\n.subckt t q\nR1 q 0 1\n.ends\nX1 a s", nullptr,
            "Error: no .ends line.\n" },
        { "a subcircuit that instantiates itself", ".subckt loop a\nX1 a loop\n.ends\nX1 n loop", nullptr,
            "Error: subcircuit recursion: loop -> loop\n" },
        { "a recursion through another subcircuit",
            ".subckt p a\nX1 a q\n.ends\n.subckt q a\nR1 a 0 1\nX1 a p\n.ends\nX1 n p", nullptr,
            "Error: subcircuit recursion: p -> q -> p\n" },
        { "a recursion through an inner definition that names the outer one",
            ".subckt outer a\n.subckt inner b\nX1 b outer\n.ends\nX2 a inner\n.ends\nX1 n outer", nullptr,
            "Error: subcircuit recursion: outer -> outer\n" },
        { "a recursion that only a copy's text spells fails instead of copying up to the card limit",
            ".subckt amp a\n xinner a amp\n.ends\nX1 n amp", nullptr,
            "Error: subcircuit recursion: a copy still names a subcircuit after 1 levels\n" },
        { "a recursive definition that nothing instantiates is left alone",
            ".subckt loop a\nX1 a loop\n.ends\nR1 n 0 1", "R1 n 0 1" },
        { "subcircuit names, ports and models compare without case",
            ".SUBCKT Amp IN Out\n.MODEL Dl D\nR1 in mid 1k\nD1 OUT 0 dL\n.ENDS\nx1 a b aMP",
            ".MODEL 1:Dl D\nR:1:1 a 1:mid 1k\nD:1:1 b 0 1:dL " },
        { "global nodes keep their names in every copy",
            ".GLOBAL vdd Gnd\n.subckt inv a\nR1 a VDD 1k\nR2 a gnd 1k\nR3 a mid 1k\n.ends\nX1 n inv",
            ".GLOBAL vdd Gnd\nR:1:1 n vdd 1k\nR:1:2 n Gnd 1k\nR:1:3 n 1:mid 1k" },
        { "an .ends after a complete definition is misplaced",
            ".subckt s p\n.subckt t q\n.ends\n.ends\n.ends\nX1 a s", nullptr,
            "Error: misplaced .ends line: .ends\n" },
    };
    for (const EXPANSION& c : cases)
        expect(c);
}

TEST(SubcktExpand, NullDeckGivesNullSilently)
{
    MODULEOUTPUT output;
    EXPECT_EQ(expandsubckts(nullptr), nullptr);
    EXPECT_EQ(output.out(), "");
}

// Passes were once capped at 22, so that a real hierarchy 22 deep failed as a recursion while a
// recursion copied itself up to the card limit first.
TEST(SubcktExpand, DeepHierarchiesExpandAndRecursionFailsAtOnce)
{
    // s0 holds one resistor; each s<k> instantiates s<k-1>, so an instance of s<k> needs k + 1
    // passes; the deck is written innermost first so that every definition is at the top level.
    auto deck = [](int depth) {
        std::string text = ".subckt s0 p\nR1 p 0 1\n.ends\n";
        for (int k = 1; k <= depth; ++k)
            text += ".subckt s" + std::to_string(k) + " p\nX1 p s" + std::to_string(k - 1) + "\n.ends\n";
        return text + "X1 n s" + std::to_string(depth);
    };
    for (int depth : { 21, 99 }) {
        std::string label = "1";
        for (int i = 0; i <= depth; ++i)
            label += ":1";
        expect({ "a deep hierarchy", deck(depth).c_str(), ("R:" + label + " n 0 1").c_str() });
    }
    expect({ "a definition instantiating itself twice",
        ".subckt amp a\nX1 a amp\nX2 a amp\nY1 a b\n.ends\nX1 n amp", nullptr,
        "Error: subcircuit recursion: amp -> amp\n" });
}

TEST(SubcktExpand, DeepNestingAndRunawayCopiesAreRefused)
{
    std::string nested;
    for (int k = 0; k < 101; ++k)
        nested += ".subckt s" + std::to_string(k) + " p\n";
    for (int k = 0; k < 101; ++k)
        nested += ".ends\n";
    expect({ "nesting", (nested + "R1 a 0 1").c_str(), nullptr,
        "Error: subcircuits nested more than 100 deep\n" });

    // Each level holds 40 instances of the next: 40^4 cards are past the limit.
    std::string fanout = ".subckt s0 p\nR1 p 0 1\n.ends\n";
    for (int k = 1; k <= 4; ++k) {
        fanout += ".subckt s" + std::to_string(k) + " p\n";
        for (int i = 0; i < 40; ++i)
            fanout += "X" + std::to_string(i) + " p s" + std::to_string(k - 1) + "\n";
        fanout += ".ends\n";
    }
    expect({ "fan-out", (fanout + "X1 n s4").c_str(), nullptr,
        "Error: subcircuit expansion exceeds 1000000 cards or 256 MB\n" });
}

TEST(SubcktExpand, CopyDeckIsDeep)
{
    SPICECARD* head = makecards("R1 a b 1\n+ 2");
    head->error = safecopy("bad");
    head->joined = makecards("R1 a b\n+ 1");
    SPICECARD* copy = copydeck(head);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->text, head->text);
    EXPECT_STREQ(copy->error, "bad");
    EXPECT_EQ(cardtexts(copy->joined), "R1 a b\n+ 1");
    EXPECT_NE(copy->joined, head->joined);
    EXPECT_EQ(copy->next->line, 2);
    EXPECT_EQ(copy->next->error, nullptr);
    EXPECT_EQ(copydeck(nullptr), nullptr);
    freecards(head);
    freecards(copy);
}

TEST(SubcktExpand, NextTokenSplitsAtBlanksAndOuterCommas)
{
    const char* text = "  a,b f(x,y) , ,c  g(h (i) ";
    std::vector<std::string> tokens;
    for (const char* p = text; auto token = nexttoken(p);)
        tokens.emplace_back(*token);
    EXPECT_EQ(tokens, (std::vector<std::string> { "a", "b", "f(x,y)", "c", "g(h", "(i)" }));
}

} // namespace
