#include "core/containers/proplist.h"
#include "core/text/alnum.h"
#include "core/text/proptext.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct OWNEDITEMS : GDIDX<PROPITEM> {
    explicit OWNEDITEMS(DIDXCOMPARE compare = nullptr)
        : GDIDX<PROPITEM>(0, REPLACE, compare)
    {
    }
    ~OWNEDITEMS() override { zap(); }
    void put(const char* name, const char* value, uint16_t flags) { add(new PROPITEM(name, value, flags)); }
};

} // namespace

TEST(PROPTEXTSECTIONS, RecordsKeepTheirOwnFormsAndTheIndexComparison)
{
    OWNEDITEMS items(alnumicmp);
    items.put("A", "5", 0);
    items.put("B", "6", 2);
    items.put("C", "7", 1);
    PROPTEXT t("*S\n{a=1}\nb=2\n*T\nX=1\n");
    t.setprops("S", items, 0);
    EXPECT_STREQ(t.text, "*S\nA=5\nB={6}\n{C=}7\n*T\nX=1\n");
}

TEST(PROPTEXTSECTIONS, WhereNewPropertiesLand)
{
    struct Case {
        const char* defsection;
        const char* sec;
        const char* stored;
        const char* expected;
    };
    const Case cases[] = {
        // The default section with nothing above the first header: above that header.
        { "", nullptr, "*S\nX=1\n", "A=1\n*S\nX=1\n" },
        // A section named like the default one, absent: under its own header, not the last section's.
        { "MAIN", "MAIN", "*OTHER\nX=1\n", "*OTHER\nX=1\n{*MAIN}\nA=1\n" },
        // The last section of the text: at the end, the last line gaining its line feed.
        { "", "S", "*S\nX=1", "*S\nA=1\n" },
        // A property continued over stored lines is replaced whole.
        { "", "S", "*S\nA=old\\\n  more\nB=2\n*T\n", "*S\nA=1\n*T\n" },
    };
    for (const auto& c : cases) {
        PROPTEXT t(c.stored);
        std::strcpy(t.defsection, c.defsection);
        PROPLIST list("A=1");
        t.setprops(c.sec, list, 0, 0);
        EXPECT_STREQ(t.text, c.expected) << c.stored;
    }
}
