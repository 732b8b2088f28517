#include "core/containers/proplist.h"
#include "core/text/proptext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct RECORD {
    std::string name;
    std::string value;
    uint16_t flags;
    bool operator==(const RECORD&) const = default;
};

std::ostream& operator<<(std::ostream& os, const RECORD& r)
{
    return os << "{" << testing::PrintToString(r.name) << ", " << testing::PrintToString(r.value) << ", "
              << r.flags << "}";
}

std::vector<RECORD> records(const GDIDX<PROPITEM>& items)
{
    std::vector<RECORD> out;
    for (const PROPITEM* item : items)
        out.push_back({ item->name, item->value, item->flags });
    return out;
}

std::vector<std::string> entries(const PROPLIST& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.count; ++i) {
        const char* name = list.ptr(i);
        out.push_back(std::string(name) + "=" + (name + std::strlen(name) + 1));
    }
    return out;
}

struct OWNEDITEMS : GDIDX<PROPITEM> {
    explicit OWNEDITEMS(int mode = REPLACE)
        : GDIDX<PROPITEM>(0, mode)
    {
    }
    ~OWNEDITEMS() override { zap(); }
};

const char* const sections = "TOP=above\n"
                             "*S\n"
                             "R10=ten\n"
                             "{B=}hidden\n"
                             "R2=two\n"
                             "EMPTY=\n"
                             ";C=comment\n"
                             "*1BAD\n"
                             "A=  spaced\n"
                             "*T\n"
                             "OUT=1\n"
                             "{*s}\n"
                             "LATE=again";

} // namespace

TEST(PROPTEXTREAD, SectionIntoAListInKeyOrderOrTextOrder)
{
    PROPTEXT t(sections);
    PROPLIST list(0, 1);
    t.getprops("s", list, 0, 0);
    EXPECT_EQ(entries(list),
        (std::vector<std::string> { "A=spaced", "B=hidden", "LATE=again", "R2=two", "R10=ten" }));

    t.getprops("S", list, 0, 1);
    EXPECT_EQ(entries(list),
        (std::vector<std::string> { "R10=ten", "B=hidden", "R2=two", "A=spaced", "LATE=again" }));

    // Appending adds behind what the list holds; the list's own replace flag rules on names.
    PROPLIST kept(0, 0);
    kept.add("R2", "old");
    t.getprops("S", kept, 1, 0);
    EXPECT_STREQ(kept["R2"], "old");
    EXPECT_EQ(kept.count, 5);

    // Without append the list is emptied even when the section is missing.
    t.getprops("ABSENT", list, 0, 0);
    EXPECT_EQ(list.count, 0);

    // A null section reads the default section with the lines above the first header; an empty
    // section name reads nothing.
    std::strcpy(t.defsection, "T");
    t.getprops(nullptr, list, 0, 1);
    EXPECT_EQ(entries(list), (std::vector<std::string> { "TOP=above", "OUT=1" }));
    t.getprops("", list, 0, 0);
    EXPECT_EQ(list.count, 0);
}

TEST(PROPTEXTREAD, ParsedRecordsCarryTheirBraceForms)
{
    struct Case {
        const char* text;
        const char* sec;
        std::vector<RECORD> expected;
        int result;
    };
    const std::string longvalue(1024, 'v');
    const std::string toolong = "A=" + longvalue + "\nB=2\n";
    const Case cases[] = {
        { "NAME=VALUE\n{NAME1=VALUE}\nNAME2={VALUE}\n{NAME3=}VALUE\n", nullptr,
            { { "NAME", "VALUE", 0 }, { "NAME1", "VALUE", 3 }, { "NAME2", "VALUE", 2 },
                { "NAME3", "VALUE", 1 } },
            1 },
        // Empty values are kept; blanks and a carriage return around names and values are cut.
        { "  A = \r\nB=  x y \r\n{C=}\n", nullptr, { { "A", "", 0 }, { "B", "x y", 0 }, { "C", "", 1 } }, 1 },
        // A '}' inside double quotes does not end the value; an unquoted one does.
        { "A=\"x}y\" z\nB=x}y\n", nullptr, { { "A", "\"x}y\" z", 0 }, { "B", "x", 0 } }, 1 },
        // An unmatched '}' leaves the depth below 0 until a '{' brings it back.
        { "}\nA=1\nB=2\n{\nC=3\n", nullptr, { { "A", "1", 3 }, { "B", "2", 3 }, { "C", "3", 0 } }, 1 },
        // A ';' where a name is expected ends the line; as the first character of a value it is data.
        // A line without a name is no property.
        { ";A=1\nB=;x\n  ;C=3\n=5\n", nullptr, { { "B", ";x", 0 } }, 1 },
        // Sections: null reads all, empty only the lines above the first header, a name every
        // place of that section; a header may be hidden or indented.
        { "TOP=1\n*S\nA=2\n{*T}\nB=3\n  *s\r\nC=4\n", nullptr,
            { { "A", "2", 0 }, { "B", "3", 0 }, { "C", "4", 0 }, { "TOP", "1", 0 } }, 1 },
        { "TOP=1\n*S\nA=2\n{*T}\nB=3\n  *s\r\nC=4\n", "", { { "TOP", "1", 0 } }, 1 },
        { "TOP=1\n*S\nA=2\n{*T}\nB=3\n  *s\r\nC=4\n", "S", { { "A", "2", 0 }, { "C", "4", 0 } }, 1 },
        { "TOP=1\n*S\nA=2\n{*T}\nB=3\n  *s\r\nC=4\n", "T", { { "B", "3", 0 } }, 1 },
        // A value too long to hold is added empty and reported; parsing goes on.
        { toolong.c_str(), nullptr, { { "A", "", 0 }, { "B", "2", 0 } }, 0 },
        { "", nullptr, {}, 1 },
        { nullptr, nullptr, {}, 1 },
    };
    for (const auto& c : cases) {
        OWNEDITEMS items;
        EXPECT_EQ(parseprops(c.text, c.sec, items), c.result) << testing::PrintToString(c.text);
        EXPECT_EQ(records(items), c.expected)
            << testing::PrintToString(c.text) << " in " << (c.sec ? c.sec : "<null>");
    }
}

TEST(PROPTEXTREAD, ParsedRecordsInTextOrderAndUnderTheIndexDuplicateMode)
{
    PROPTEXT t("B=1\nA=2\nB=3\n");
    OWNEDITEMS ordered;
    EXPECT_EQ(t.getprops(nullptr, ordered, 1), 1);
    EXPECT_EQ(records(ordered), (std::vector<RECORD> { { "B", "3", 0 }, { "A", "2", 0 } }));

    struct Case {
        int mode;
        std::vector<RECORD> expected;
    };
    const Case cases[] = {
        { DIDX::REPLACE, { { "A", "2", 0 }, { "B", "3", 0 } } },
        { DIDX::DESTROY, { { "A", "2", 0 }, { "B", "3", 0 } } },
        { DIDX::KEEPALL, { { "A", "2", 0 }, { "B", "1", 0 }, { "B", "3", 0 } } },
        { DIDX::KEEPOLD, { { "A", "2", 0 }, { "B", "1", 0 } } },
    };
    for (const auto& c : cases) {
        OWNEDITEMS items(c.mode);
        t.getprops(nullptr, items, 0);
        EXPECT_EQ(records(items), c.expected) << "mode " << c.mode;
    }
}
