// Model cards as outside decks write them, read as the reference simulator reads them: grading
// coefficients above 1, parameters of other models, and the reference's BSIM3 levels.
#include "host/deckrun/tests/rundeck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

using decktest::Result;
using decktest::rundeck;

std::string deckfile(const char* name)
{
    std::ifstream in(std::string(VKT_TEST_SOURCE_DIR) + "/../decks/" + name);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

TEST(OutsideCards, GradingAboveOneAndUnknownParametersRunWithWarnings)
{
    const Result r = rundeck(deckfile("model_cards.cir"));
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* warning : { "unknown parameter \"utra\" of model nenh left out",
             "diode model dmj: grading coefficient M = 1.3 too large, limited to 0.9",
             "BJT model qmj: grading coefficient MJE, MJC or MJS above 0.999 limited to it" })
        EXPECT_NE(r.err.find(warning), std::string::npos) << warning << "\n" << r.err;
    // A MOSFET's junctions keep their closed form above 1: no warning for them.
    EXPECT_EQ(r.err.find("MJ or MJSW"), std::string::npos) << r.err;
    EXPECT_EQ(r.rows().size(), 832u);
}

TEST(OutsideCards, Levels8And49AreBsim3)
{
    const std::string deck = deckfile("model_cards.cir");
    const Result bsim3 = rundeck(std::regex_replace(deck, std::regex("level=49"), "level=7"));
    ASSERT_EQ(bsim3.status, 0) << bsim3.err;
    for (const char* level : { "level=49", "LEVEL = 8", "level=8.0" }) {
        const Result r = rundeck(std::regex_replace(deck, std::regex("level=49"), level));
        EXPECT_EQ(r.status, 0) << level << r.err;
        EXPECT_EQ(r.out, bsim3.out) << level;
    }
}

} // namespace
