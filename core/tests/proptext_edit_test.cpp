#include "core/text/proptext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string str(const char* s)
{
    return s ? s : "<null>";
}

} // namespace

TEST(PROPTEXTEDIT, AddToAnEmptyTextStartsTheSection)
{
    PROPTEXT none;
    none.add("SEC", "A", "1", 0);
    EXPECT_STREQ(none.text, "{*SEC}\nA=1\n");

    PROPTEXT empty("");
    empty.add(nullptr, "A", "1", 0);
    EXPECT_STREQ(empty.text, "A=1\n");

    // A named section is entered by its first header, so its new property lands under it.
    PROPTEXT named("*S\nX=1\n*T\nY=2\n");
    named.add("s", "NEW", "3", 0);
    EXPECT_STREQ(named.text, "*S\nX=1\nNEW=3\n*T\nY=2\n");
}

TEST(PROPTEXTEDIT, EditedNamesAndValuesReadBackUnchanged)
{
    // Names and values the edits carry over from the text are stored again in a form that
    // reads back the same: literal braces stay doubled, a name that needs quotes keeps them.
    struct Case {
        const char* stored;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        { "A=x{{y}}\n", "A", "x{y}" },
        { "{{A}}=1\n", "{A}", "1" },
        { "\"A=B\"=1\n", "A=B", "1" },
        { "\"*A\"=1\n", "*A", "1" },
        { "\"A \"\"q\"\"\"=1\n", "A \"q\"", "1" },
        { "A=x\r\n", "A", "x\r" },
    };
    for (const auto& c : cases) {
        for (uint16_t form = 0; form < 4; ++form) {
            PROPTEXT hidden(c.stored);
            hidden.hide(nullptr, c.name, form);
            EXPECT_EQ(str(hidden[c.name]), c.value) << c.stored << " hidden " << form << ": " << hidden.text;
        }
        PROPTEXT renamed(c.stored);
        renamed.rename(nullptr, c.name, "NEW");
        EXPECT_EQ(str(renamed["NEW"]), c.value) << c.stored << ": " << renamed.text;
        EXPECT_EQ(renamed[c.name], nullptr) << c.stored;

        // Braces given to add are markup, so only the other names read back whole from it.
        if (std::strpbrk(c.name, "{}"))
            continue;
        PROPTEXT added("");
        added.add(nullptr, c.name, "v", 3);
        EXPECT_EQ(str(added[c.name]), "v") << c.name << ": " << added.text;
    }
}

TEST(PROPTEXTEDIT, LongValuesAreRewrittenWhole)
{
    std::string value(9000, 'v');
    PROPTEXT t(("A=" + value + "\nB=2\n").c_str());
    t.hide(nullptr, nullptr, 3);
    EXPECT_EQ(std::string(t.text), "{A=" + value + "}\n{B=2}\n");
    t.rename(nullptr, "A", "C");
    EXPECT_EQ(std::string(t.text), "{C=" + value + "}\n{B=2}\n");
}

TEST(PROPTEXTEDIT, RenameToNothingRemoves)
{
    for (const char* newname : { static_cast<const char*>(nullptr), "" }) {
        PROPTEXT t("*S\nA=1\nB=2\n");
        t.rename("S", "a", newname);
        EXPECT_STREQ(t.text, "*S\nB=2\n");
    }
}

TEST(PROPTEXTEDIT, KeptBracesGatherOverTheCall)
{
    // Braces found on one replaced line stay in force for the later lines of that name.
    PROPTEXT t("*S\n{A=1}\nA=2\n");
    t.add("S", "A", "5", 4);
    EXPECT_STREQ(t.text, "*S\n{A=5}\n{A=5}\n");
}

TEST(PROPTEXTEDIT, LongSectionNamesMatchWhole)
{
    const std::string longer(60, 'S');
    const std::string prefix(49, 'S');
    PROPTEXT t(("*" + longer + "\nA=1\n*" + prefix + "\nA=2\n").c_str());
    t.add(longer.c_str(), "A", "5", 0);
    EXPECT_EQ(std::string(t.text), "*" + longer + "\nA=5\n*" + prefix + "\nA=2\n");
}
