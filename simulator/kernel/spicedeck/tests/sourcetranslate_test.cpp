#include "simulator/kernel/spicedeck/decklisting.h"
#include "simulator/kernel/spicedeck/polywrite.h"
#include "simulator/kernel/spicedeck/sourcetranslate.h"

#include "simulator/kernel/spicedeck/tests/deck_fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace decktest;

TEST(SourceTranslate, Cards)
{
    struct Case {
        std::string card;
        const char* translated; // null: the card stays as it is and nothing is logged
    };
    // Nineteen zeros: the constant and the terms up to degree 18.
    std::string zeros;
    for (int i = 0; i < 19; ++i)
        zeros += "0 ";
    std::string degree19 = "V(1)";
    for (int i = 1; i < 19; ++i)
        degree19 += "*V(1)";
    degree19 = "BE7 a b V=" + degree19;
    const Case cases[] = {
        { "E1 out 0 VALUE={2*V(in)}", "BE1 out 0 V= 2*V(in) " },
        { "G2 a b VALUE={LOG10(V(c))+LOG(V(d))}", "BG2 a b I= LOG(V(c))+LN(V(d)) " },
        { "F1 a b POLY(2) VX VY 0 1 1", "BF1 a b I=I(VX)+I(VY)" },
        { "H1 a b POLY(1) VX 0.5 -2", "BH1 a b V=0.5+-2*I(VX)" },
        { "F3 a b POLY(1) VX 0 0", "BF3 a b I=0.0" },
        { "E1 a b (c,d) 2", "E1 a b  c d  2" },
        { "E1 a b c d 2", nullptr },
        { "E2 a b poly(2) 1 0 2 0 0 1 1", "BE2 a b V=V(1)+V(2)" },
        { "G3 a b POLY(1) 0 4 0 1.23456789", "BG3 a b I=1.23457*-V(4)" },
        { "E3 a b value = { vlog(v(x)) + logx + log10 (1) }", "BE3 a b V=  vLN(v(x)) + logx +LOG (1) " },
        { "H2 a b VALUE", "BH2 a b V=" },
        { "E4 a b POLY(0) 3", "BE4 a b V=3" },
        { "E5 a b POLY 1 2", nullptr },
        { "E6 a b POLY(1) 1 0 " + zeros + "0 1", nullptr },
        { "E7 a b POLY(1) 1 0 " + zeros + "1", degree19.c_str() },
    };
    for (const Case& c : cases) {
        DECKLOGCAPTURE trace(2);
        MODULEOUTPUT output;
        SPICECARD* card = newcard(1, c.card);
        translatesource(card);
        EXPECT_EQ(card->text, c.translated ? c.translated : c.card);
        EXPECT_EQ(trace.lines, c.translated ? "T:Translated: " + c.card + " to " + c.translated + "\n" : "")
            << c.card;
        freecards(card);
    }
}

TEST(SourceTranslate, PolynomialsThatCannotBeWrittenAreReportedAndLeftToTheParser)
{
    MODULEOUTPUT output;
    SPICECARD* card = newcard(1, "E5 a b POLY 1 2");
    translatesource(card);
    EXPECT_STREQ(card->text, "E5 a b POLY 1 2");
    EXPECT_EQ(output.out(), "Error: POLY needs a dimension of 1 or more: E5 a b POLY 1 2\n");
    freecards(card);
}

TEST(PolyWrite, VoltageAndCurrentForms)
{
    struct Case {
        bool voltage;
        const char* text; // after the keyword POLY
        const char* expression;
    } cases[] = {
        { true, "(2) 1 0 2 0 0 1 1", "V(1)+V(2)" },
        { true, "(1) 3 4 1 2", "1+2*V(3,4)" },
        { true, "(1) 0 2 0 -0.5", "-0.5*-V(2)" },
        { true, "(1) 2 0 1 -0.5", "1+-0.5*V(2)" },
        { true, "(1) 3 4", "0.0" },
        { true, "(1) 3 4 0 0 0", "0.0" },
        { false, "(1) VSENSE 0 0 1", "I(VSENSE)*I(VSENSE)" },
        // Two sources: constant, A, B, AA, BA, BB, AAA, BAA, BBA, BBB.
        { false, "(2) VA VB 0 0 0 0 0 0 0 0 0 7", "7*I(VB)*I(VB)*I(VB)" },
        { false, "(2) VA VB 0 0 0 0 5 0 0 6", "5*I(VB)*I(VA)+6*I(VB)*I(VA)*I(VA)" },
        // Three sources, second degree: AA, BA, CA, BB, CB, CC.
        { false, "(3) V1 V2 V3 0 0 0 0 0 0 2 0 0 3", "2*I(V3)*I(V1)+3*I(V3)*I(V3)" },
        { false, "(1) VX 1e-20 1e+20", "1e-20+1e+20*I(VX)" },
        { false, "(3) VX", "0.0" },
        { false, "(99999) VX 1", "0.0" },
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        char* cursor = text.data();
        std::string out = "=";
        const char* problem = c.voltage ? writepolyvoltage(&cursor, out) : writepolycurrent(&cursor, out);
        EXPECT_EQ(problem, nullptr) << c.text;
        EXPECT_EQ(out, "=" + std::string(c.expression)) << c.text;
        EXPECT_EQ(*cursor, '\0') << c.text;
    }
}

TEST(DeckListing, ListsAtDetailLevelAndTranslatesUpperCaseSourcesAtAnyLevel)
{
    const char* text = "* title\ne1 a 0 VALUE={1}\n  G1 a 0 (b,c) 1\nR1 a 0 1";
    for (uint8_t level : { 0, 2, 3 }) {
        DECKLOGCAPTURE trace(level);
        MODULEOUTPUT output;
        SPICEDECK deck;
        deck.head = makecards(text);
        listdeck(&deck);
        EXPECT_EQ(cardtexts(deck.head), "* title\ne1 a 0 VALUE={1}\n  G1 a 0  b c  1\nR1 a 0 1");
        std::string translated = "T:Translated:   G1 a 0 (b,c) 1 to   G1 a 0  b c  1\n";
        EXPECT_EQ(trace.lines,
            level == 3       ? "T:SPICE input deck...\n" + translated
                : level == 2 ? translated
                             : "");
        EXPECT_EQ(output.out(), level == 3 ? std::string(text) + "\n" : "");
    }
    DECKLOGCAPTURE trace(3);
    SPICEDECK empty;
    listdeck(&empty);
    EXPECT_EQ(trace.lines, "");
}

} // namespace
