#include "host/deckexpand/flatdeck.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string fixturepath(const char* name)
{
    return std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name;
}

// A deck in a scratch file of the test's folder.
std::string deckfile(const std::string& text)
{
    std::string path = (vkt::test::tempFolder() / "deck.cir").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(DeckExpand, PrintsTheFlatDeck)
{
    std::string flat;
    std::string error;
    EXPECT_TRUE(flattendeck(fixturepath("amplifier.cir").c_str(), flat, error)) << error;
    std::ifstream golden(fixturepath("amplifier.flat"));
    std::stringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(flat, expected.str());
}

TEST(DeckExpand, FailedExpansionPrintsNothing)
{
    std::string flat = "old";
    std::string error;
    EXPECT_FALSE(flattendeck(deckfile("R1 a 0 1\n.ENDS\n").c_str(), flat, error));
    EXPECT_EQ(flat, "");
    EXPECT_EQ(error, "");

    EXPECT_TRUE(flattendeck(deckfile("").c_str(), flat, error));
    EXPECT_EQ(flat, "");
}

TEST(DeckExpand, ABlankFirstLineIsTheTitle)
{
    std::string flat;
    std::string error;
    EXPECT_TRUE(flattendeck(deckfile("\nR1 a 0 1\n\n  \nR2 a 0 2\n").c_str(), flat, error)) << error;
    EXPECT_EQ(flat, "\nR1 a 0 1\nR2 a 0 2\n");
}

// A folder once printed nothing and succeeded; a device never ended.
TEST(DeckExpand, FolderOrDeviceIsAnError)
{
    for (const char* path : { VKT_TEST_SOURCE_DIR, "/dev/zero" }) {
        std::string flat = "old";
        std::string error;
        EXPECT_FALSE(flattendeck(path, flat, error)) << path;
        EXPECT_NE(error, "") << path;
        EXPECT_EQ(flat, "") << path;
    }
}

} // namespace
