#include "simulator/kernel/tests/circuittesting.h"

#include "simulator/kernel/circuitdeck.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

namespace {

using testing::HasSubstr;

class CircuitDeckTest : public CircuitTest {
protected:
    void TearDown() override
    {
        freedeck(&deck);
        CircuitTest::TearDown();
    }

    // The deck of these lines, the SPICE-link channel at `level`.
    void makedeck(const std::vector<std::string>& lines, int level = 1)
    {
        read("TAVI\n\n:x\n*PROPERTIES,1\nTRACE_SPICELINK=" + std::to_string(level) + "\n");
        SPICECARD** tail = &deck.head;
        for (const std::string& line : lines) {
            *tail = newcard(0, line);
            deck.last = *tail;
            tail = &(*tail)->next;
        }
    }

    std::vector<std::string> cards() const
    {
        std::vector<std::string> texts;
        for (SPICECARD* card = deckhead(&deck); card; card = card->next)
            texts.emplace_back(card->text);
        return texts;
    }

    SPICEDECK deck;
};

TEST_F(CircuitDeckTest, ExpandedDeckIsFlatAndInLowerCase)
{
    makedeck({ ".SUBCKT AMP IN OUT", "R1 IN OUT 1K", ".ENDS", "X1 A B AMP", "R2 B 0 2K" });
    EXPECT_EQ(deckcount(&deck), 5);
    ASSERT_TRUE(guarded([&] { expanddeck(&deck); })) << log();
    EXPECT_EQ(deckcount(&deck), 2);
    EXPECT_THAT(cards(), testing::ElementsAre(testing::StartsWith("r:1:1 a b"), "r2 b 0 2k"));
    ASSERT_NE(deck.last, nullptr);
    EXPECT_STREQ(deck.last->text, "r2 b 0 2k");

    freedeck(&deck);
    EXPECT_EQ(deckhead(&deck), nullptr);
    EXPECT_TRUE(guarded([&] { expanddeck(&deck); }));
    EXPECT_EQ(deckcount(&deck), 0);
}

TEST_F(CircuitDeckTest, InstanceOfAnUndefinedSubcircuitEndsTheLoad)
{
    for (int level : { 1, 0 }) {
        freedeck(&deck);
        makedeck({ "X1 A B FILTER", "R1 A 0 1K" }, level);
        mark = size();
        EXPECT_FALSE(guarded([&] { expanddeck(&deck); }));
        std::string text = log();
        EXPECT_THAT(text, HasSubstr("#F:Failed to expand subcircuits.\n")) << level;
        EXPECT_EQ(
            text.find("#W:SUBCKT 'FILTER' used in 'X1' but not found.\n") != std::string::npos, level > 0)
            << text;
        // The holder keeps the deck, to be freed with it.
        EXPECT_EQ(deckcount(&deck), 2);
    }
}

TEST_F(CircuitDeckTest, FailedExpansionEndsTheLoad)
{
    makedeck({ ".SUBCKT AMP IN OUT", "R1 IN OUT 1K", "X1 A B AMP" });
    EXPECT_FALSE(guarded([&] { expanddeck(&deck); }));
    EXPECT_THAT(log(), HasSubstr("#F:Failed to expand subcircuits.\n"));
    EXPECT_EQ(deckhead(&deck), nullptr);
}

} // namespace
