#include "schematic/objects/styletables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct GRAPHICROW {
    const char* name;
    int width;
    COLORREF line;
    COLORREF fill;
};

struct TEXTROW {
    const char* name;
    const char* face;
    int height;
    int width;
    COLORREF colour;
};

constexpr COLORREF NONE = NOCOLOUR;

const GRAPHICROW graphicrows[] = {
    { "COMPONENT", 40640, RGB(128, 0, 0), RGB(200, 200, 170) },
    { "PIN", 40640, RGB(128, 0, 0), NONE },
    { "PORT", 40640, RGB(0, 64, 0), NONE },
    { "MARKER", 20320, RGB(0, 0, 64), NONE },
    { "ACTUATOR", 20320, RGB(255, 0, 0), RGB(64, 0, 0) },
    { "INDICATOR", 20320, RGB(0, 255, 0), RGB(0, 64, 0) },
    { "VPROBE", 20320, RGB(0, 0, 192), NONE },
    { "IPROBE", 20320, RGB(0, 0, 192), NONE },
    { "TAPE", 20320, RGB(0, 0, 192), NONE },
    { "GENERATOR", 20320, RGB(0, 0, 192), NONE },
    { "TERMINAL", 40640, RGB(0, 64, 0), NONE },
    { "SUBCIRCUIT", 81280, RGB(0, 0, 128), RGB(200, 200, 170) },
    { "2D GRAPHIC", 40640, RGB(0, 0, 0), NONE },
    { "WIRE DOT", 40640, RGB(0, 64, 0), RGB(0, 64, 0) },
    { "WIRE", 40640, RGB(0, 64, 0), NONE },
    { "BUS WIRE", 152400, RGB(0, 0, 192), NONE },
};

const TEXTROW textrows[] = {
    { "COMPONENT ID", "Default Font", 381000, 203200, RGB(0, 0, 0) },
    { "SUBCKT ID", "Default Font", 381000, 203200, RGB(0, 0, 0) },
    { "COMPONENT VALUE", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "PROPERTIES", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "TERMINAL LABEL", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "WIRE LABEL", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "SUBCKT NAME", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "SCRIPT", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "PIN NAME", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "PIN NUMBER", "Default Font", 254000, 203200, RGB(0, 0, 0) },
    { "VPROBE LABEL", "Default Font", 254000, 203200, RGB(0, 0, 192) },
    { "IPROBE LABEL", "Default Font", 254000, 203200, RGB(0, 0, 192) },
    { "GENERATOR LABEL", "Default Font", 254000, 203200, RGB(0, 0, 192) },
    { "TAPE LABEL", "Default Font", 254000, 203200, RGB(0, 0, 192) },
    { "ACTIVE READOUT", "Arial", 254000, 127000, RGB(0, 255, 0) },
    { "ACTIVE REGION", "Arial", 254000, 127000, RGB(0, 0, 192) },
};

TEST(StyleTables, EveryDesignStartsFromTheBuiltInGraphicStylesInTheirOrder)
{
    resetstyles();
    XSTYLE_MANAGER<GSTYLE>& table = graphicstyles();
    ASSERT_EQ(table.count, BUILTINGRAPHICSTYLES);
    for (int i = 0; i < BUILTINGRAPHICSTYLES; ++i) {
        const GRAPHICROW& row = graphicrows[i];
        const GSTYLE_ENTRY* entry = table.get(i);
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(entry->name, row.name);
        EXPECT_EQ(entry->flags, XS_BUILTIN) << row.name;
        EXPECT_EQ(entry->style.penwidth, row.width) << row.name;
        EXPECT_EQ(entry->style.pencolour, row.line) << row.name;
        EXPECT_EQ(entry->style.hasfill(), row.fill != NONE) << row.name;
        if (row.fill != NONE) {
            EXPECT_EQ(entry->style.brushcolour, row.fill) << row.name;
        }
        EXPECT_EQ(table.find(row.name), i) << "found by name, without regard to case";
    }
    EXPECT_EQ(table.find("wire dot"), 13);
    EXPECT_EQ(builtingraphicstyles[BUILTINGRAPHICSTYLES].name[0], '\0') << "the rows end with an empty name";
}

TEST(StyleTables, EveryDesignStartsFromTheBuiltInTextStylesInTheirOrder)
{
    resetstyles();
    XSTYLE_MANAGER<TSTYLE>& table = textstyles();
    ASSERT_EQ(table.count, BUILTINTEXTSTYLES);
    for (int i = 0; i < BUILTINTEXTSTYLES; ++i) {
        const TEXTROW& row = textrows[i];
        const TSTYLE_ENTRY* entry = table.get(i);
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(entry->name, row.name);
        EXPECT_EQ(entry->flags, XS_BUILTIN) << row.name;
        EXPECT_STREQ(entry->style.face, row.face) << row.name;
        EXPECT_EQ(entry->style.height, row.height) << row.name;
        EXPECT_EQ(entry->style.width, row.width) << row.name;
        EXPECT_EQ(entry->style.colour, row.colour) << row.name;
        EXPECT_EQ(entry->style.flags, 0u) << row.name;
    }
    EXPECT_EQ(builtintextstyles[BUILTINTEXTSTYLES].name[0], '\0');
}

TEST(StyleTables, AResetDropsTheDesignsOwnStylesAndPutsBackChangedBuiltInOnes)
{
    resetstyles();
    ASSERT_GE(graphicstyles().addcopy("MY STYLE", "WIRE"), 0);
    graphicstyles().get(14)->style.setpenwidth(1);
    textstyles().get(0)->style.height = 1;
    resetstyles();
    EXPECT_EQ(graphicstyles().count, BUILTINGRAPHICSTYLES);
    EXPECT_EQ(graphicstyles().find("MY STYLE"), -1);
    EXPECT_EQ(graphicstyles().get(14)->style.penwidth, 40640);
    EXPECT_EQ(textstyles().get(0)->style.height, 381000);
    EXPECT_EQ(builtingraphicstyles[14].style.penwidth, 40640) << "the rows themselves are never changed";
}

} // namespace
