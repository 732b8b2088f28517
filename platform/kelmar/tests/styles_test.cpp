#include <gtest/gtest.h>

#include "core/files/ramfile.h"
#include "platform/kelmar/xstyles.h"

namespace {

const GSTYLE_ENTRY BUILTIN[] = {
    { "COMPONENT", GSTYLE(40640, RGB(128, 0, 0), RGB(200, 200, 170)), XS_BUILTIN },
    { "PIN", GSTYLE(40640, RGB(128, 0, 0), NOCOLOUR), XS_BUILTIN },
    { "WIRE", GSTYLE(40640, RGB(0, 64, 0), NOCOLOUR), XS_BUILTIN | XS_SHARED },
    {},
};

std::vector<std::string> names(const XSTYLE_MANAGER<GSTYLE>& table)
{
    std::vector<std::string> list;
    for (const GSTYLE_ENTRY* entry : table)
        list.push_back(entry->name);
    return list;
}

} // namespace

TEST(StyleTable, ResetKeepsTheBuiltInRowsFirstInTheirOrderAndNamesCompareWithoutCase)
{
    XSTYLE_MANAGER<GSTYLE> table;
    table.reset(BUILTIN, -1);
    EXPECT_EQ(table.locked, 3);
    EXPECT_EQ(table.add("ARROWS", GSTYLE(1, 0, NOCOLOUR), 0), 3);
    EXPECT_EQ(table.add("BOLD", GSTYLE(2, 0, NOCOLOUR), 0), 4);
    EXPECT_EQ(names(table), (std::vector<std::string> { "COMPONENT", "PIN", "WIRE", "ARROWS", "BOLD" }));
    EXPECT_EQ(table.get(2), &BUILTIN[2]) << "a shared row is the table's entry itself";
    EXPECT_NE(table.get(0), &BUILTIN[0]) << "other rows are copies";
    EXPECT_EQ(table.find("wire"), 2);
    EXPECT_EQ(table.get("Pin")->style.penwidth, 40640);
    EXPECT_EQ(table.get("pin")->style.hasfill(), false);
    EXPECT_EQ(table.get(5), nullptr);

    // A known name takes the new values and keeps its place and flags.
    EXPECT_EQ(table.add("component", GSTYLE(99, 0, NOCOLOUR), XS_USED), 0);
    EXPECT_EQ(table.get(0)->style.penwidth, 99);
    EXPECT_EQ(table.get(0)->flags, XS_BUILTIN);

    EXPECT_EQ(table.add("", GSTYLE(), 0), -1);
    EXPECT_EQ(table.add("A NAME OF TWENTY-ONE!", GSTYLE(), 0), -1);
    EXPECT_EQ(table.add("A NAME OF TWENTY ONE", GSTYLE(), 0), 3) << "twenty characters fit, sorted behind the head";

    // The shared row survives the reset that drops it.
    table.reset(BUILTIN, 2);
    EXPECT_EQ(names(table), (std::vector<std::string> { "COMPONENT", "PIN" }));
    EXPECT_STREQ(BUILTIN[2].name, "WIRE");
}

TEST(StyleTable, NewStylesCopyTheirModel)
{
    XSTYLE_MANAGER<GSTYLE> table;
    table.reset(BUILTIN, -1);
    int index = table.addcopy("THICK PIN", "pin");
    ASSERT_GE(index, 0);
    EXPECT_EQ(table.get(index)->style.pencolour, RGB(128, 0, 0));
    EXPECT_EQ(table.get(index)->flags, 0);
    EXPECT_EQ(table.addcopy("THICK PIN", "PIN"), -1) << "taken";
    EXPECT_EQ(table.addcopy("", "PIN"), -1);
    int plain = table.addcopy("PLAIN", "NO SUCH STYLE");
    EXPECT_EQ(table.get(plain)->style.penwidth, GSTYLE().penwidth);
}

TEST(StyleTable, WrittenTablesReadBackIntoOthersOverwritingKnownNames)
{
    static const TSTYLE_ENTRY shared[] = {
        { "COMPONENT ID", TSTYLE("Default Font", 381000, 203200, 0, 0), XS_BUILTIN | XS_SHARED },
    };
    XSTYLE_MANAGER<TSTYLE> table;
    table.reset(shared, 1);
    table.add("SCRIPT", TSTYLE("Vector Font", 254000, 203200, RGB(0, 0, 192), TS_BOLD), XS_USED);
    RAMFILE file;
    ASSERT_EQ(table.write(file), 1);

    XSTYLE_MANAGER<TSTYLE> other;
    other.add("script", TSTYLE("Arial", 1, 1, 0, 0), XS_BUILTIN);
    file.rewind();
    ASSERT_EQ(other.read(file), 1);
    EXPECT_EQ(file.tell(), file.length);
    ASSERT_EQ(other.count, 2);
    EXPECT_STREQ(other.get("SCRIPT")->style.face, "Vector Font");
    EXPECT_EQ(other.get("SCRIPT")->style.flags, TS_BOLD);
    EXPECT_STREQ(other.get("SCRIPT")->name, "script") << "the entry already there stays";
    EXPECT_EQ(other.get("SCRIPT")->flags, XS_BUILTIN);
    EXPECT_EQ(other.get("COMPONENT ID")->flags, XS_BUILTIN) << "the shared flag is never written";
    EXPECT_EQ(other.get("COMPONENT ID")->style.height, 381000);
}

TEST(StyleTable, ACutTableKeepsWhatWasReadBeforeTheDamage)
{
    XSTYLE_MANAGER<GSTYLE> table;
    table.reset(BUILTIN, 2);
    RAMFILE file;
    ASSERT_EQ(table.write(file), 1);
    for (int cut = 0; cut < file.length; ++cut) {
        RAMFILE shorter(file.buffer, cut);
        XSTYLE_MANAGER<GSTYLE> read;
        EXPECT_EQ(read.read(shorter), 0) << cut;
        EXPECT_LE(read.count, 1) << cut;
    }
}
