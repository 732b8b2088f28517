#include "core/text/proptext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

// Sections, a header that occurs twice, hidden parts, comments, a joined line, a star line that
// is no header, a carriage return and a last line without a line feed.
const char* const fixture = "TOP=above\n"
                            "NAME=  5\n"
                            "*MAIN\n"
                            "GAIN=2\n"
                            "{HID=}den\n"
                            "SHOWN={val}\n"
                            "{ALL=hidden}\n"
                            "EMPTY=\n"
                            ";C=comment\n"
                            "LONG=first\\\n"
                            "  second\n"
                            "GANG=Master\n"
                            "*1BAD\n"
                            "AFTERBAD=yes\n"
                            "{*OTHER}\n"
                            "GAIN=other\n"
                            "STATE=on\n"
                            "*main\n"
                            "TWICE=again\n"
                            "CR=x\r\n"
                            "LAST=end";

std::string str(const char* s)
{
    return s ? s : "<null>";
}

} // namespace

TEST(PROPTEXT, WholeTextLookUps)
{
    PROPTEXT t(fixture);
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        { "NAME", "5" },
        { "gain", "2" }, // the first from the top, whatever its section
        { "HID", "den" },
        { "SHOWN", "val" },
        { "ALL", "hidden" },
        { "EMPTY", "" },
        { ";C", "comment" }, // only a name with ';' finds a comment
        { "LONG", "first   second" },
        { "AFTERBAD", "yes" },
        { "CR", "x\r" },
        { "LAST", "end" },
        { "MISSING", nullptr },
    };
    for (const auto& c : cases)
        EXPECT_EQ(str(t[c.name]), str(c.value)) << c.name;
}

TEST(PROPTEXT, BooleanAndTextTests)
{
    PROPTEXT t(fixture);
    EXPECT_EQ(t.test("STATE"), 1);
    EXPECT_EQ(t.test("GAIN"), 0);
    EXPECT_EQ(t.test("EMPTY"), 0);
    EXPECT_EQ(t.test("MISSING"), 0);
    EXPECT_EQ(t.test("GANG", "MASTER", 0), 1);
    EXPECT_EQ(t.test("GANG", "MASTER", 1), 0);
    EXPECT_EQ(t.test("GANG", "Master", 1), 1);
    EXPECT_EQ(t.test("MISSING", "", 0), 0);
}

TEST(PROPTEXT, SectionLookUps)
{
    PROPTEXT t(fixture);
    struct Case {
        const char* section;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        { nullptr, "NAME", "  5" }, // blanks after the '=' are kept
        { nullptr, "TOP", "above" },
        { "", "TOP", nullptr }, // the default section's name does not reach above the first header
        { "main", "GAIN", "2" },
        { "OTHER", "GAIN", "other" },
        { "MAIN", "EMPTY", "" },
        { "MAIN", ";C", nullptr },
        { "MAIN", "AFTERBAD", "yes" }, // *1BAD is no header
        { "MAIN", "TWICE", "again" }, // the header occurs twice
        { "MAIN", "LAST", "end" },
        { "MAIN", "STATE", nullptr },
        { "ABSENT", "GAIN", nullptr },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(str(t.get(c.section, c.name)), str(c.value)) << str(c.section) << "/" << c.name;
        EXPECT_EQ(t.exists(c.section, c.name), c.value ? 1 : 0) << str(c.section) << "/" << c.name;
    }

    // A null section means the default section, above the first header as well.
    std::strcpy(t.defsection, "OTHER");
    EXPECT_EQ(str(t.get(nullptr, "GAIN")), "other");
    EXPECT_EQ(str(t.get(nullptr, "TOP")), "above");
}

TEST(PROPTEXT, ResultBuffersBelongToTheOperationAndThread)
{
    PROPTEXT t(fixture);
    const char* gain = t.get("MAIN", "GAIN");
    EXPECT_STREQ(t["NAME"], "5");
    EXPECT_STREQ(gain, "2");
    std::thread([&t] { EXPECT_STREQ(t.get("OTHER", "GAIN"), "other"); }).join();
    EXPECT_STREQ(gain, "2");
    t.get("OTHER", "GAIN");
    EXPECT_STREQ(gain, "other");
}

TEST(PROPTEXT, EmptyTextAndCopies)
{
    PROPTEXT empty;
    EXPECT_EQ(empty["A"], nullptr);
    EXPECT_EQ(empty.get(nullptr, "A"), nullptr);
    EXPECT_EQ(empty.exists(nullptr, "A"), 0);

    PROPTEXT a("A=1");
    std::strcpy(a.defsection, "SEC");
    PROPTEXT b(a);
    a.settext("A=2");
    EXPECT_STREQ(b["A"], "1");
    EXPECT_STREQ(b.defsection, "SEC");
    b = a;
    EXPECT_STREQ(b["A"], "2");
}
