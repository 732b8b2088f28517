#include "simulator/models/parts/tests/parttesting.h"

#include "simulator/models/parts/subckt.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <cstdio>
#include <string>

namespace {

using testing::HasSubstr;

// A subcircuit part U1 with pins 1, 2 and 10 on nets A, B and C (net ids 0, 1 and 2).
const char* subcktnets = "A,1\nU1,PS,1\n\nB,1\nU1,PS,2\n\nC,1\nU1,PS,10\n\n";

class SubcktTest : public PartTest {
protected:
    SUBCKT* subckt() { return dynamic_cast<SUBCKT*>(part("U1")); }
};

TEST_F(SubcktTest, TheXCardNamesThePinsNetsByTheirIds)
{
    struct CASE {
        const char* properties;
        const char* card;
    } cases[] = {
        { ",SPICEMODEL=\"opamp,lib\"", "XU1 $00000000 $00000001 $00000002 OPAMP\n" },
        { ",SPICEMODEL=opamp,VALUE=other", "XU1 $00000000 $00000001 $00000002 OPAMP\n" },
        { ",VALUE=Ref", "XU1 $00000000 $00000001 $00000002 REF\n" },
        { ",SPICEMODEL=opamp,SPICEPINS=\"2,1\"", "XU1 $00000001 $00000000 OPAMP\n" },
        { ",SPICEMODEL=opamp,SPICEPINS=\"10,,1,9\"", "XU1 $00000002 $00000000 OPAMP\n" },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.properties);
        make("", std::string("U1,SUBCKT,,PRIMITIVE=ANALOG") + c.properties + "\n", subcktnets);
        EXPECT_EQ(subckt()->card(), c.card);
    }
    EXPECT_THAT(log(), HasSubstr("#W:Pin 9 of U1 referenced but not found in SPICEPINS property\n"));
}

TEST_F(SubcktTest, APartNamingNoSubcircuitAddsNoCard)
{
    make("", "U1,SUBCKT,,PRIMITIVE=ANALOG,VALUE=?\n", subcktnets);
    SPICEDECK deck;
    deck.head = deck.last = newcard(1, "title");
    subckt()->expand(&deck);
    EXPECT_EQ(deck.head->next, nullptr);
    EXPECT_THAT(log(), HasSubstr("U1 names no SPICE subcircuit in SPICEMODEL or VALUE"));

    make("", "U1,SUBCKT,,PRIMITIVE=ANALOG,SPICEMODEL=opamp\n", subcktnets);
    subckt()->expand(&deck);
    ASSERT_NE(deck.head->next, nullptr);
    EXPECT_STREQ(deck.last->text, "XU1 $00000000 $00000001 $00000002 OPAMP\n");
    EXPECT_EQ(deck.last->line, 0);
}

} // namespace
