#include "host/deckexpand/flatdeck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string fixturepath(const char* name)
{
    return std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name;
}

TEST(DeckExpand, PrintsTheFlatDeck)
{
    FILE* stream = fopen(fixturepath("amplifier.cir").c_str(), "r");
    ASSERT_NE(stream, nullptr);
    std::string flat;
    EXPECT_TRUE(flattendeck(stream, flat));
    fclose(stream);
    std::ifstream golden(fixturepath("amplifier.flat"));
    std::stringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(flat, expected.str());
}

TEST(DeckExpand, FailedExpansionPrintsNothing)
{
    std::string text = "R1 a 0 1\n.ENDS\n";
    FILE* stream = fmemopen(text.data(), text.size(), "r");
    std::string flat = "old";
    EXPECT_FALSE(flattendeck(stream, flat));
    EXPECT_EQ(flat, "");
    fclose(stream);

    std::string none = "\n  \n";
    stream = fmemopen(none.data(), none.size(), "r");
    EXPECT_TRUE(flattendeck(stream, flat));
    EXPECT_EQ(flat, "");
    fclose(stream);
}

} // namespace
