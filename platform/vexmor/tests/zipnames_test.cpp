#include "platform/vexmor/zipnames.h"

#include <gtest/gtest.h>

TEST(ZipNames, RefusesNamesThatLeaveTheArchive)
{
    struct CASE {
        const char* name;
        const char* fault; // a part of the text, or "" when the name may stand
    };
    const CASE cases[] = {
        { "PROJECT.XML", "" },
        { "SCRIPTS/startup", "" },
        { "SCRIPTS\\startup", "" },
        { "a..b/..c/d..", "" },
        { "..", "climbs" },
        { "../evil.txt", "climbs" },
        { "SCRIPTS/../../evil.txt", "climbs" },
        { "a\\..\\..\\evil.txt", "climbs" },
        { "a/b/..", "climbs" },
        { "/etc/passwd", "absolute" },
        { "\\evil.txt", "absolute" },
        { "C:evil.txt", "absolute" },
        { "c:\\evil.txt", "absolute" },
        { "", "no name" },
        { nullptr, "no name" },
    };
    for (const CASE& c : cases) {
        const std::string fault = zipnamefault(c.name);
        if (!*c.fault)
            EXPECT_EQ(fault, "") << c.name;
        else
            EXPECT_NE(fault.find(c.fault), std::string::npos)
                << (c.name ? c.name : "(null)") << ": " << fault;
    }
}
