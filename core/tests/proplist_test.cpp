#include "core/containers/proplist.h"

#include "core/tests/file_fixtures.h"
#include "core/text/proptext.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using vkt::test::allBytes;
using vkt::test::ramFileWith;

namespace {

using Items = std::vector<std::pair<std::string, std::string>>;

Items items(const PROPLIST& list)
{
    Items out;
    for (int i = 0; i < list.count; ++i) {
        const char* name = static_cast<const char*>(list.items[i]);
        out.emplace_back(name, name + std::strlen(name) + 1);
    }
    return out;
}

} // namespace

TEST(PROPLIST, ReplaceFlagDecidesWhetherTheFirstValueStays)
{
    PROPLIST keep(0, 0);
    EXPECT_EQ(keep.add("A", "1"), 0);
    EXPECT_EQ(keep.add("a", "2"), -1);
    EXPECT_EQ(items(keep), (Items { { "A", "1" } }));

    PROPLIST replace(0, 1);
    replace.add("B", "0");
    replace.add("A", "1");
    EXPECT_EQ(replace.add("a", "2"), 0);
    EXPECT_EQ(items(replace), (Items { { "a", "2" }, { "B", "0" } }));

    EXPECT_EQ(replace.add("A", nullptr), -1);
    EXPECT_EQ(replace.add("ABSENT", nullptr), -1);
    EXPECT_EQ(items(replace), (Items { { "B", "0" } }));
    EXPECT_EQ(replace.remove(5), 0);
    EXPECT_EQ(replace.remove(0), 1);
    EXPECT_EQ(replace.count, 0);
}

TEST(PROPLIST, NamesSortWithNumbersByValueIgnoringCase)
{
    PROPLIST list(0, 1);
    for (const char* name : { "R10", "r2", "R1", "c1" })
        list.add(name, "x");
    EXPECT_EQ(items(list), (Items { { "c1", "x" }, { "R1", "x" }, { "r2", "x" }, { "R10", "x" } }));
    EXPECT_STREQ(list["R2"], "x");
    EXPECT_EQ(list["R3"], nullptr);
}

TEST(PROPLIST, ListTexts)
{
    EXPECT_EQ(items(PROPLIST("X=1,Y=2,X=3")), (Items { { "X", "3" }, { "Y", "2" } }));
    PROPLIST keep(0, 0);
    keep.addlist("X=1,Y=2,X=3");
    EXPECT_EQ(items(keep), (Items { { "X", "1" }, { "Y", "2" } }));
    // A value ended by a line feed resumes the list behind the next comma.
    EXPECT_EQ(items(PROPLIST("A=1\nB=2,C=3")), (Items { { "A", "1" }, { "C", "3" } }));
    EXPECT_EQ(items(PROPLIST(" Q = \"a,b\" ,Z=9")), (Items { { "Q", "a,b" }, { "Z", "9" } }));
    EXPECT_EQ(PROPLIST(static_cast<const char*>(nullptr)).count, 0);
}

TEST(PROPLIST, KeywordListsKeepTheirOrderInTheLockedHead)
{
    PROPLIST all(0, 1);
    all.addkwdlist("FAST,LEVEL=3,SLOW", -1);
    EXPECT_EQ(items(all), (Items { { "FAST", "FAST" }, { "LEVEL", "3" }, { "SLOW", "SLOW" } }));
    EXPECT_EQ(all.locked, 3);
    all.add("AAA", "later");
    EXPECT_EQ(all.idxn("AAA"), 3);
    EXPECT_EQ(all.islocked("SLOW"), 1);
    EXPECT_EQ(all.islocked("AAA"), 0);

    PROPLIST two(0, 1);
    two.addkwdlist("FAST,LEVEL=3,SLOW", 2);
    EXPECT_EQ(items(two), (Items { { "FAST", "FAST" }, { "LEVEL", "3" } }));
}

TEST(PROPLIST, FormattedValues)
{
    PROPLIST list(0, 1);
    EXPECT_EQ(list.format("B", "%b", 0x10000), 1);
    EXPECT_STREQ(list["B"], "No");
    list.format("B", "%b", 1);
    EXPECT_STREQ(list["B"], "Yes");
    list.format("H", "%rh", 255);
    EXPECT_STREQ(list["H"], "(0xFF,0x00,0x00)");
    list.format("I", "%ri", 0x00FF00);
    EXPECT_STREQ(list["I"], "(0,255,0)");
    EXPECT_EQ(list.format("N", "%d-%s", 7, "x"), 1);
    EXPECT_EQ(list.format("N", "%d-%s", 7, "x"), 0);
    EXPECT_STREQ(list["N"], "7-x");
    list.format("L", "%s", std::string(300, 'l').c_str());
    EXPECT_EQ(std::strlen(list["L"]), 255u);

    const unsigned char bytes[] = { 0x01, 0xAB };
    EXPECT_EQ(list.addhex("X", bytes, 2), 1);
    EXPECT_STREQ(list["X"], "01AB");
    EXPECT_EQ(list.addhex("X", bytes, 2), 0);
}

TEST(PROPLIST, ReadingValues)
{
    PROPLIST list("A=True,B=t,C=1,D=on,E=On,F=YES,G=0,H=,V=abc");
    for (const char* name : { "A", "B", "C", "D", "E" })
        EXPECT_EQ(list.getbool(name), 1) << name;
    for (const char* name : { "F", "G", "H", "ABSENT" })
        EXPECT_EQ(list.getbool(name), 0) << name;
    EXPECT_EQ(list.test("V", "ABC"), 1);
    EXPECT_EQ(list.test("V", "AB"), 0);

    PROPLIST same("V=abc"), differentCase("V=ABC"), more("V=abc,W=1");
    EXPECT_EQ(same.equals(PROPLIST("v=abc")), 1);
    EXPECT_EQ(same.equals(differentCase), 0);
    EXPECT_EQ(same.equals(more), 0);
}

TEST(PROPLIST, CopiesAndMerges)
{
    PROPLIST source("B=2,A=1");
    PROPLIST copy(source);
    EXPECT_EQ(items(copy), items(source));
    EXPECT_EQ(copy.step, 2);
    copy.add("A", "changed");
    EXPECT_STREQ(source["A"], "1");

    PROPLIST& alias = copy;
    copy = alias;
    EXPECT_EQ(items(copy), (Items { { "A", "changed" }, { "B", "2" } }));
    copy = source;
    EXPECT_EQ(items(copy), items(source));

    PROPLIST keep(0, 0);
    keep.add("A", "old");
    keep.merge(source);
    EXPECT_EQ(items(keep), (Items { { "A", "old" }, { "B", "2" } }));
}

TEST(PROPLIST, SectionOfAPropertyText)
{
    const PROPTEXT text("TOP=1\n"
                        "*main\n"
                        "A=1\n"
                        "{B=}2\n"
                        ";x=1\n"
                        "EMPTY=\n"
                        "JOINED=a\\\n"
                        "b\n"
                        "*OTHER\n"
                        "C=3\n"
                        "*MAIN \n"
                        "D=4\n"
                        "{*Main}\n"
                        "E=5");
    struct Case {
        const char* section;
        Items expected;
    };
    const Case cases[] = {
        { nullptr, { { "TOP", "1" } } },
        { "MAIN", { { "A", "1" }, { "B", "2" }, { "E", "5" }, { "JOINED", "a b" } } },
        { "OTHER", { { "C", "3" } } }, // "*MAIN " has more than the name: it ends OTHER, starts nothing
        { "ABSENT", {} },
    };
    for (const auto& c : cases) {
        PROPLIST list(0, 1);
        list.add(text, c.section);
        EXPECT_EQ(items(list), c.expected) << (c.section ? c.section : "<null>");
    }
}

TEST(PROPLIST, StoredFormRoundTrips)
{
    PROPLIST list("B=two,A=,C=3");
    RAMFILE f;
    EXPECT_EQ(list.write(f), 1);
    EXPECT_EQ(allBytes(f),
        std::string("\3\0\0\0"
                    "\3\0\0\0A\0\0"
                    "\6\0\0\0B\0two\0"
                    "\4\0\0\0C\0"
                    "3\0",
            29));

    f.seek(0, 0);
    PROPLIST back(0, 0);
    back.add("STALE", "x");
    EXPECT_EQ(back.read(f), 1);
    EXPECT_EQ(items(back), items(list));

    PROPLIST empty(0, 1);
    RAMFILE none;
    empty.write(none);
    none.seek(0, 0);
    EXPECT_EQ(back.read(none), 1);
    EXPECT_EQ(back.count, 0);
}

TEST(PROPLIST, DamagedStoredFormKeepsTheItemsBeforeTheDamage)
{
    const std::string good = std::string("\4\0\0\0A\0"
                                         "1\0",
        8);
    struct Case {
        const char* what;
        std::string file;
        Items kept;
    };
    const Case cases[] = {
        { "no count", std::string("\2\0", 2), {} },
        { "negative count", std::string("\xff\xff\xff\xff", 4), {} },
        { "count beyond the items", std::string("\x40\0\0\0", 4) + good, { { "A", "1" } } },
        { "length below two", std::string("\2\0\0\0", 4) + good + std::string("\1\0\0\0x", 5),
            { { "A", "1" } } },
        { "length beyond the file",
            std::string("\2\0\0\0", 4) + good
                + std::string("\xf0\xff\xff\x7f"
                              "B\0",
                    6),
            { { "A", "1" } } },
        { "name without its NUL", std::string("\2\0\0\0", 4) + good + std::string("\3\0\0\0BCD", 7),
            { { "A", "1" } } },
        { "value without its NUL", std::string("\2\0\0\0", 4) + good + std::string("\3\0\0\0B\0v", 7),
            { { "A", "1" } } },
    };
    for (const auto& c : cases) {
        auto f = ramFileWith(c.file);
        PROPLIST list(0, 1);
        EXPECT_EQ(list.read(*f), 0) << c.what;
        EXPECT_EQ(items(list), c.kept) << c.what;
    }
}
