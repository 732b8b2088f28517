#include "core/text/proptext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

namespace {

const char* const blocks = "TOP=1\n*S\nA=1\n{B=2}\n*T\nC=3\n{*s}\nD=4";

} // namespace

TEST(PROPTEXTBLOCKS, GetBlockWritesTheStoredLines)
{
    struct Case {
        const char* defsection;
        const char* sec;
        int withheader;
        const char* expected;
        int found;
    };
    const Case cases[] = {
        { "", "S", 0, "A=1\n{B=2}\nD=4\n", 1 },
        { "", "s", 1, "*S\nA=1\n{B=2}\n{*s}\nD=4\n", 1 },
        { "", "T", 0, "C=3\n", 1 },
        { "", "ABSENT", 1, "", 0 },
        // The unnamed block is the lines above the first header while the default name is empty.
        { "", "", 1, "TOP=1\n", 1 },
        { "S", nullptr, 0, "A=1\n{B=2}\nD=4\n", 1 },
        { "S", "", 0, "", 0 },
    };
    for (const auto& c : cases) {
        PROPTEXT t(blocks);
        std::strcpy(t.defsection, c.defsection);
        std::ostringstream os;
        EXPECT_EQ(t.getblock(c.sec, c.withheader, os), c.found) << c.sec;
        EXPECT_EQ(os.str(), c.expected) << c.sec;
        EXPECT_STREQ(t.text, blocks);
    }
}

TEST(PROPTEXTBLOCKS, PutBlockFromAStreamOrAText)
{
    struct Case {
        const char* stored;
        const char* sec;
        const char* body;
        const char* expected;
    };
    const Case cases[] = {
        { "*S\nA=1\n*T\nB=2\n", "S", "X=1\n", "{*S}\nX=1\n*T\nB=2\n" },
        { "*T\nB=2", "S", "X=1\n", "*T\nB=2\n{*S}\nX=1\n" },
        // An empty block keeps its header.
        { "*S\nA=1\n*T\nB=2\n", "S", "", "{*S}\n*T\nB=2\n" },
        // The unnamed block takes the place of the lines above the first header, or goes above it.
        { "TOP=1\nTOP=2\n*S\nA=1\n", "", "X=1\n", "X=1\n*S\nA=1\n" },
        { "*S\nA=1\n", "", "X=1\n", "X=1\n*S\nA=1\n" },
        { nullptr, "S", "X=1\n", "{*S}\nX=1\n" },
    };
    for (const auto& c : cases) {
        PROPTEXT fromtext(c.stored);
        fromtext.putblock(c.sec, c.body);
        EXPECT_STREQ(fromtext.text, c.expected) << c.stored;

        PROPTEXT fromstream(c.stored);
        std::istringstream is(c.body);
        fromstream.putblock(c.sec, is);
        EXPECT_STREQ(fromstream.text, c.expected) << c.stored;
    }
}

TEST(PROPTEXTBLOCKS, UnnamedBlockRemovedAndDefaultSectionCleaned)
{
    PROPTEXT removed("TOP=1\n\n*S\nA=1\n");
    removed.removeblock("");
    EXPECT_STREQ(removed.text, "*S\nA=1\n");

    // A null section cleans the lines above the first header too; a named one only its own.
    PROPTEXT cleaned("free\nTOP=1\n*S\nfree\nA=1\n*T\nfree\n");
    std::strcpy(cleaned.defsection, "S");
    cleaned.cleanblock(nullptr);
    EXPECT_STREQ(cleaned.text, "TOP=1\n*S\nA=1\n*T\nfree\n");
    cleaned.cleanblock("T");
    EXPECT_STREQ(cleaned.text, "TOP=1\n*S\nA=1\n*T\n");
}

TEST(PROPTEXTBLOCKS, RenamedHeaderKeepsItsJoinedLine)
{
    PROPTEXT t("*S\\\nX=1\nA=1\n");
    t.renameblock("S", "U");
    EXPECT_STREQ(t.text, "*U\\\nX=1\nA=1\n");
    EXPECT_EQ(t.exists("U", "X"), 0);
    EXPECT_EQ(t.exists("U", "A"), 1);
}
