#include "host/simrun/hostscript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool readscript(const std::string& text, std::vector<HOSTACTION>& actions, std::string& error)
{
    FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    bool read = readhostscript(stream, actions, error);
    fclose(stream);
    return read;
}

TEST(HostScript, ActionsComeInTimeOrder)
{
    std::vector<HOSTACTION> actions;
    std::string error;
    ASSERT_TRUE(readscript("# a click, then a look\n"
                           "6ms snapshot\n"
                           "\n"
                           "2ms event 0x10 1   # the switch\n"
                           "2m event 3 4294967295\n"
                           "1.5ms pause\n",
        actions, error))
        << error;
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0].kind, HOSTACTION::PAUSE);
    EXPECT_DOUBLE_EQ(actions[0].time, 1.5e-3);
    EXPECT_EQ(actions[1].kind, HOSTACTION::EVENT);
    EXPECT_EQ(actions[1].id, 0x10);
    EXPECT_EQ(actions[1].argument, 1u);
    EXPECT_EQ(actions[2].id, 3);
    EXPECT_EQ(actions[2].argument, 0xFFFFFFFFu);
    EXPECT_EQ(actions[3].kind, HOSTACTION::SNAPSHOT);
}

TEST(HostScript, LineThatIsNoActionIsNamed)
{
    for (const char* line : { "2ms jump", "x event 1 2", "-1ms pause", "2ms event 1", "2ms event 0x 1",
             "2ms event 1 2 3", "2ms pause now", "2ms event 1 99999999999" }) {
        std::vector<HOSTACTION> actions;
        std::string error;
        EXPECT_FALSE(readscript(std::string("1ms pause\n") + line + "\n", actions, error)) << line;
        EXPECT_EQ(error, std::string("line 2 is no action: ") + line);
    }
}

TEST(HostScript, TimesTakeSuffixesAndUnits)
{
    const struct {
        const char* text;
        double seconds; // negative: none
    } cases[] = { { "1ms", 1e-3 }, { "20m", 20e-3 }, { "2", 2 }, { "2s", 2 }, { "1.5us", 1.5e-6 }, { "", -1 },
        { "ms", -1 }, { "1ms2", -1 }, { "inf", -1 } };
    for (const auto& c : cases) {
        double seconds = -1;
        EXPECT_EQ(readseconds(c.text, &seconds), c.seconds >= 0) << c.text;
        if (c.seconds >= 0) {
            EXPECT_DOUBLE_EQ(seconds, c.seconds) << c.text;
        }
    }
}

} // namespace
