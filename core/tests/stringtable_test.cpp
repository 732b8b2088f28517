#include "core/windows/stringtable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/windows/applncontext.h"
#include "platform/win/messagebox.h"
#include "platform/win/modules.h"
#include "platform/win/resources.h"

namespace {

std::vector<std::string> boxes;

int recordbox(HWND, const char* text, const char* caption, UINT style)
{
    boxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
    return IDOK;
}

// Translates by prefixing the context, and notes what it was asked.
struct Prefixer : ITRANSLATE {
    char* translate(const char* text, const char* context) override
    {
        asked.push_back(std::string(context) + ":" + text);
        return strdup((std::string("[") + context + "] " + text).c_str());
    }
    char* translate(const char* text, const char* context, const char*) override
    {
        return translate(text, context);
    }
    std::vector<std::string> asked;
};

unsigned long byname(const char* name)
{
    return reinterpret_cast<unsigned long>(name);
}

class StringTable : public testing::Test {
protected:
    void SetUp() override
    {
        boxes.clear();
        previous = setmessageboxhook(recordbox);
    }
    void TearDown() override { setmessageboxhook(previous); }

    HMODULE program = GetModuleHandleA(nullptr);
    MESSAGEBOXHOOK previous = nullptr;
};

} // namespace

TEST_F(StringTable, AMissingResourceIsReportedAndTheOthersStay)
{
    STRINGTABLE table(1);
    EXPECT_EQ(table.load("TABLEONE,MISSING,TABLETWO", program), 0);
    EXPECT_STREQ(table.string(1), "one");
    EXPECT_STREQ(table.string(4), "four");
    ASSERT_EQ(boxes.size(), 1u);
    char expected[200];
    snprintf(expected, sizeof expected,
        "String Table Error|String table resource 'MISSING' not found (GLE=0x00000716, "
        "HINSTANCE=%08X).\n.|16",
        static_cast<unsigned>(reinterpret_cast<uintptr_t>(program)));
    EXPECT_EQ(boxes[0], expected);

    STRINGTABLE quiet(0);
    EXPECT_EQ(quiet.load("MISSING", program), 0);
    EXPECT_EQ(boxes.size(), 1u) << "no box without the report flag";
    EXPECT_EQ(quiet.load("EMPTYTABLE", program), 1) << "an empty table is found";
    EXPECT_EQ(quiet.item(0, nullptr, nullptr), 0);
}

TEST_F(StringTable, NumbersAreSignedAndNamesIgnoreCase)
{
    STRINGTABLE table;
    ASSERT_EQ(table.load("TABLEONE", program), 1);
    unsigned long id = 0;
    const char* text = nullptr;
    ASSERT_EQ(table.item(0, &id, &text), 1);
    EXPECT_EQ(id, 0x8000u) << "0x8000 sorts before 1";
    EXPECT_STREQ(text, "lowest");
    EXPECT_STREQ(table.string(0x8000), "lowest");
    EXPECT_STREQ(table.string(3), "");
    EXPECT_STREQ(table.string(77), "");
    EXPECT_STREQ(table.string(byname("TARGET")), "target text");
    EXPECT_STREQ(table.string(byname("alpha")), "alpha text");
    EXPECT_STREQ(table.string(byname("Beta")), "");

    STRINGTABLE copy(table);
    table.zap();
    EXPECT_STREQ(table.string(1), "");
    EXPECT_STREQ(copy.string(1), "one");
    STRINGTABLE& same = copy;
    copy = same;
    EXPECT_STREQ(copy.string(byname("target")), "target text");
}

TEST_F(StringTable, SplitsAndGroups)
{
    STRINGTABLE table;
    ASSERT_EQ(table.load("TABLEONE", program), 1);
    char a[8], b[8], c[8];
    char* out[] = { a, b, c };
    EXPECT_EQ(table.split(2, out, 0, 2, '|'), 2);
    EXPECT_STREQ(a, "a");
    EXPECT_STREQ(b, "bc");
    EXPECT_EQ(table.split(2, out, 1, 3, '|'), 3);
    EXPECT_STREQ(b, "b");
    EXPECT_STREQ(c, "d");
    EXPECT_EQ(table.split(3, out, 0, 3, '|'), 1) << "an empty text is one empty field";
    EXPECT_EQ(table.split(77, out, 0, 3, '|'), 0);

    EXPECT_EQ(table.getgroup(0x100, out, 3, 7), 3);
    EXPECT_STREQ(a, "group h");
    EXPECT_STREQ(c, "group t");
    EXPECT_EQ(table.getgroup(0x100, out, 2, 7), 2);
    EXPECT_EQ(table.getgroup(0x200, out, 3, 7), 1);
    EXPECT_EQ(table.getgroup(0x300, out, 3, 7), 0);
}

TEST_F(StringTable, TranslationSparesMarkersAndUntranslatedNumbers)
{
    Prefixer prefixer;
    STRINGTABLE table;
    table.settranslator(&prefixer, nullptr);
    ASSERT_EQ(table.load("CONTEXTS", program), 1);
    EXPECT_STREQ(table.string(10), "[Unknown] plain");
    EXPECT_STREQ(table.string(20), "Menus");
    EXPECT_STREQ(table.string(21), "[Menus] File");
    EXPECT_STREQ(table.string(0xFFFF), "never");
    EXPECT_EQ(prefixer.asked, (std::vector<std::string> { "Unknown:plain", "Menus:File" }));

    STRINGTABLE fixed;
    fixed.settranslator(&prefixer, "Dialog");
    ASSERT_EQ(fixed.load("CONTEXTS", program), 1);
    EXPECT_STREQ(fixed.string(20), "[Dialog] Menus") << "markers count only without a fixed context";
    EXPECT_STREQ(fixed.string(0xFFFF), "never");
}

TEST_F(StringTable, LoadingStaysWithinTheResource)
{
    // A numbered entry whose text runs to the end without its terminator, after a whole one.
    static const unsigned char cut[]
        = { 0, 1, 0, 0, 0, 0, 0, 'o', 'k', 0, 0, 2, 0, 0, 0, 0, 0, 'n', 'o', 'n', 'u', 'l' };
    static const unsigned char named[] = { 1, 'N', 0, 1, 0 };
    static const RESOURCEENTRY damaged[] = {
        { RT_RCDATA, "CUTTABLE", cut, sizeof cut },
        { RT_RCDATA, "CUTNAMED", named, sizeof named },
    };
    registerresources(program, damaged, 2);
    STRINGTABLE table;
    EXPECT_EQ(table.load("CUTTABLE", program), 0);
    EXPECT_STREQ(table.string(1), "ok");
    EXPECT_STREQ(table.string(2), "");
    EXPECT_EQ(table.load("CUTNAMED", program), 0);
    EXPECT_STREQ(table.string(byname("N")), "");
    unregisterresources(program, damaged);
}

TEST_F(StringTable, TheContextsModuleServesByDefault)
{
    STRINGTABLE table;
    APPLNCONTEXT context {};
    APPLNCONTEXT* previous = setapplncontext(&context);
    EXPECT_EQ(table.load("TABLEONE"), 0) << "no module";
    context.instance = program;
    EXPECT_EQ(table.load("TABLEONE"), 1);
    context.resourceinstance = reinterpret_cast<HINSTANCE>(0x1000);
    EXPECT_EQ(table.load("TABLETWO"), 0) << "the resource module comes first";
    setapplncontext(previous);
}
