#include "core/text/propscan.h"

#include "core/text/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Scanned {
    std::string line;
    std::string raw;
    bool operator==(const Scanned&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Scanned& s)
{
    return os << "{" << testing::PrintToString(s.line) << ", " << testing::PrintToString(s.raw) << "}";
}

std::vector<Scanned> scanAll(const char* stored)
{
    TEXT text(stored);
    PROPSCAN scan(text);
    std::vector<Scanned> out;
    while (scan.next())
        out.push_back({ scan.line(), std::string(scan.raw()) });
    return out;
}

} // namespace

TEST(PROPSCAN, EveryStoredLineBelongsToExactlyOneLogicalLine)
{
    struct Case {
        const char* stored;
        std::vector<Scanned> expected;
    };
    const Case cases[] = {
        { "", {} },
        { "A=1\nB=2", { { "A=1", "A=1\n" }, { "B=2", "B=2" } } },
        { "A=1\n\nB=2\n", { { "A=1", "A=1\n" }, { "", "\n" }, { "B=2", "B=2\n" } } },
        { "A=x\\\n  y\nB=2\n", { { "A=x   y", "A=x\\\n  y\n" }, { "B=2", "B=2\n" } } },
        // Only a backslash directly before the line feed joins: not one followed by a blank or
        // a carriage return; a doubled backslash still ends in one.
        { "A=x\\ \nB=2\n", { { "A=x\\ ", "A=x\\ \n" }, { "B=2", "B=2\n" } } },
        { "A=x\\\r\nB=2\n", { { "A=x\\\r", "A=x\\\r\n" }, { "B=2", "B=2\n" } } },
        { "A=x\\\\\nB=2\n", { { "A=x\\ B=2", "A=x\\\\\nB=2\n" } } },
        { "A=x\\\n", { { "A=x ", "A=x\\\n" } } },
        // Braces that open the next stored line belong to it.
        { "A=1\n{B=2}\n}\n", { { "A=1", "A=1\n" }, { "B=2", "{B=2}\n" }, { "", "}\n" } } },
        { "{*S}\n{A=}1\\\n{x}\n", { { "*S", "{*S}\n" }, { "A=1 x", "{A=}1\\\n{x}\n" } } },
        { "A=1\n}", { { "A=1", "A=1\n" }, { "", "}" } } },
        { "{", { { "", "{" } } },
        { "a{{b}}\n", { { "a{b}", "a{{b}}\n" } } },
    };
    for (const auto& c : cases) {
        auto scanned = scanAll(c.stored);
        EXPECT_EQ(scanned, c.expected) << testing::PrintToString(c.stored);
        std::string joined;
        for (const auto& s : scanned)
            joined += s.raw;
        EXPECT_EQ(joined, c.stored);
    }
}

TEST(PROPSCAN, OverlongLineIsCutButKeptWholeInTheStoredLines)
{
    std::string value(9000, 'v');
    std::string stored = "A=" + value + "\nB=2\n";
    auto scanned = scanAll(stored.c_str());
    ASSERT_EQ(scanned.size(), 2u);
    EXPECT_EQ(scanned[0].line, ("A=" + value).substr(0, PROPSCAN::LINEMAX));
    EXPECT_EQ(scanned[0].raw, "A=" + value + "\n");
    EXPECT_EQ(scanned[1].line, "B=2");
}

TEST(PROPSCAN, SectionHeaders)
{
    struct Case {
        const char* stored;
        const char* name; // null: no header
    };
    const std::string longName(60, 'N');
    const std::string longHeader = "*" + longName;
    const Case cases[] = {
        { "*MAIN rest", "MAIN" },
        { "* _x1", "_x1" },
        { "{*HIDDEN}", "HIDDEN" },
        { "*1BAD", nullptr },
        { "*", nullptr },
        { " *MAIN", nullptr },
        { "MAIN", nullptr },
        { longHeader.c_str(), longName.c_str() },
    };
    for (const auto& c : cases) {
        TEXT text(c.stored);
        PROPSCAN scan(text);
        ASSERT_EQ(scan.next(), 1);
        const char* header = scan.header();
        if (c.name)
            EXPECT_STREQ(header, c.name) << c.stored;
        else
            EXPECT_EQ(header, nullptr) << c.stored;
    }
}

TEST(PROPSCAN, JoinsNextAgreesWithTheScanner)
{
    const char* const lines[] = {
        "A=x\\",
        "A=x\\\\",
        "A=x\\ ",
        "A=x\\\r",
        "A=x",
        "",
        "\\",
        "A={x\\}",
        "{A=x\\}}",
        "A=x\\}}}",
        "A=x\\{}",
        "A=x\\{{",
        "A=\\x",
    };
    for (const char* line : lines) {
        // Joined, the stored line and the one after it come as one logical line.
        std::string stored = std::string(line) + "\nB=2\n";
        bool joined = scanAll(stored.c_str()).size() == 1;
        EXPECT_EQ(PROPSCAN::joinsnext(line), joined ? 1 : 0) << testing::PrintToString(line);
    }
}

TEST(PROPSCAN, FullLineIsNeverCut)
{
    std::string value(9000, 'v');
    TEXT text(("A=" + value + "\nB=2").c_str());
    PROPSCAN scan(text);
    ASSERT_EQ(scan.next(), 1);
    EXPECT_EQ(scan.full(), "A=" + value);
    ASSERT_EQ(scan.next(), 1);
    EXPECT_EQ(scan.full(), "B=2");
}
