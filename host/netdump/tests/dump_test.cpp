#include "host/netdump/dump.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string dumpfixture(const std::string& name)
{
    std::string text;
    std::string error;
    EXPECT_TRUE(dumpnetlist((std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name).c_str(), text, error))
        << error;
    return text;
}

// Each fixture netlist is dumped and compared with the dump kept beside it.
class NetlistDump : public testing::TestWithParam<const char*> { };

TEST_P(NetlistDump, MatchesGoldenDump)
{
    std::string name = GetParam();
    EXPECT_EQ(dumpfixture(name + ".net"), fixture(name + ".dump"));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, NetlistDump, testing::Values("edgecases", "noheader", "crlf"));

// A folder once gave an empty dump and success.
TEST(NetlistDumpRefusal, FolderOrDeviceIsAnError)
{
    struct Case {
        const char* path;
        const char* error;
    } cases[] = {
        { VKT_TEST_SOURCE_DIR, "a folder, not a file" },
        { "/dev/zero", "not a regular file" },
        { "absent.net", "No such file or directory" },
        // A SPICE deck: the reader finds nothing of a netlist in it.
        { VKT_TEST_SOURCE_DIR "/../../deckrun/decks/pulse_hold.cir",
            "no design line and no netlist section (*PROPERTIES, *MODELDEFS, *SCRIPT, *PARTLIST, *NETLIST): not a "
            "netlist file" },
    };
    for (const Case& c : cases) {
        std::string text = "old";
        std::string error;
        EXPECT_FALSE(dumpnetlist(c.path, text, error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_EQ(text, "") << c.path;
    }
}

}  // namespace
