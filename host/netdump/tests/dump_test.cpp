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
    FILE* stream = fopen((std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name).c_str(), "r");
    EXPECT_NE(stream, nullptr) << name;
    if (!stream)
        return {};
    std::string text = dumpnetlist(stream);
    fclose(stream);
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

}  // namespace
