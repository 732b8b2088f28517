#include "core/text/dims.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/format.h"

TEST(Dims, LengthsWithMetricAndImperialUnits)
{
    struct Case {
        const char* text;
        int unit;
        int div;
        int expected;
    };
    constexpr int def = -7;
    const Case cases[] = {
        { "1in", 1, 2540, 1000 },
        { "2.5mm", 1, 1, 250000 },
        { "5 M", 1, 1, 500000000 },
        { "1MM", 1, 1, 100000 },
        { "1 cm", 1, 100000, 10 },
        { "1um", 1, 1, 100 },
        { "500nm", 1, 1, 50 },
        { "1yd", 1, 2540000, 36 },
        { "1ft", 1, 2540000, 12 },
        { "10th", 1, 1, 25400 },
        { "10 Mil", 1, 2540, 10 },
        { "5'6\"", 1, 2540000, 66 },
        { "5'6", 1, 2540000, 66 },
        { "5'", 1, 2540000, 60 },
        { "6\"", 1, 2540000, 6 },
        { "5'6.5\"", 1, 254000, 665 },
        { "25", 2540, 2540, 25 },
        { "1.5e3um", 1, 1, 150000 },
        { "1e-3m", 1, 1, 100000 },
        { "+2mm", 1, 1, 200000 },
        { "-.5mm", 1, 1, -50000 },
        { "1.5.5mm", 1, 1, 155000 },
        { "21m", 1, 1, 2100000000 },
        // Halves round away from zero.
        { "5nm", 1, 1, 1 },
        { "-5nm", 1, 1, -1 },
        { "3nm", 1, 1, 0 },
        { "3 furlongs", 1, 1, def },
        { "1e3km", 1, 1, def },
        { "1e1000mm", 1, 1, def },
        { "1e", 1, 1, def },
        { "e3", 1, 1, def },
        { "-", 1, 1, def },
        { "mm", 1, 1, def },
        { "", 1, 1, def },
        { "25m", 1, 1, def },
        { "1mm", 1, 0, def },
    };
    for (const Case& c : cases)
        EXPECT_EQ(getdefdim(c.text, def, c.unit, c.div), c.expected) << c.text;
    EXPECT_EQ(getdefdim(nullptr, def, 1, 1), def);
    std::string longWord = "1" + std::string(52, 'm');
    EXPECT_EQ(getdefdim(longWord.c_str(), def, 1, 1), def);
}

TEST(Dims, LengthCursorStopsAfterTheUnit)
{
    struct Case {
        const char* text;
        int result;
        int value;
        const char* rest;
    };
    const Case cases[] = {
        { "10 mm, x", 1, 1000000, ", x" },
        { "10, x", 1, 10, ", x" },
        { "10  , x", 1, 10, ", x" },
        { "5-3", 1, 5, "-3" },
        { "2in)", 1, 5080000, ")" },
        { "3 furlongs, x", 0, -1, ", x" },
        { "  x", 0, -1, "x" },
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        char* cursor = text.data();
        int v = -1;
        EXPECT_EQ(getdim(&cursor, &v, 1, 1), c.result) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_STREQ(cursor, c.rest) << c.text;
    }
}

TEST(Dims, FormattedLengthsReadBack)
{
    for (int value : { 25400, 254000, 100000, 50, 2540000, 1000000, 123, -254000, 5000, 1, 2000000000 }) {
        const char* text = fmtdim(value, nullptr);
        EXPECT_EQ(getdefdim(text, 0, 1, 1), value) << text;
    }
}

TEST(Dims, ColourTriples)
{
    struct Case {
        const char* text;
        uint32_t expected;
    };
    constexpr uint32_t def = 0xDEADBEEF;
    const Case cases[] = {
        { "(255,128,0)", 0x0080FF },
        { "(0x10,0x20,0X30)", 0x302010 },
        { "(0xff,0xFF,0x 0)", 0x00FFFF },
        { " ( 1 , 2 , 3 ) tail", 0x030201 },
        { "(256,0,0)", 0x000100 },
        { "( 0x10,0,0)", def },
        { "(0x,0,0)", def },
        { "(-1,0,0)", def },
        { "(1,2)", def },
        { "(1,2,3", def },
        { "1,2,3)", def },
        { "", def },
    };
    for (const Case& c : cases)
        EXPECT_EQ(getdefrgb(c.text, def), c.expected) << c.text;
    EXPECT_EQ(getdefrgb(nullptr, def), def);

    std::string text = "(1,2,3)x";
    char* cursor = text.data();
    uint32_t rgb = 0;
    EXPECT_EQ(getrgb(&cursor, &rgb), 1);
    EXPECT_EQ(rgb, 0x030201u);
    EXPECT_STREQ(cursor, "x");
    std::string broken = " (1,2";
    cursor = broken.data();
    EXPECT_EQ(getrgb(&cursor, &rgb), 0);
    EXPECT_EQ(cursor, broken.data());
    EXPECT_EQ(rgb, 0x030201u);
}

TEST(Dims, HexBlocks)
{
    struct Case {
        const char* hex;
        unsigned capacity;
        std::vector<unsigned char> expected;
    };
    const Case cases[] = {
        { "0A1BFF", 8, { 0x0A, 0x1B, 0xFF } },
        { "0A1BFF", 2, { 0x0A, 0x1B } },
        { "ABC", 8, { 0xAB } },
        { "0a1b", 8, { 0x0A, 0x1B } },
        { "0AZZ11", 8, { 0x0A } },
        { "", 8, {} },
    };
    for (const Case& c : cases) {
        unsigned char buf[8] = {};
        unsigned len = c.capacity;
        EXPECT_EQ(gethexblock(c.hex, buf, &len, nullptr, 0), buf);
        EXPECT_EQ(std::vector<unsigned char>(buf, buf + len), c.expected) << c.hex;
    }
    unsigned char buf[8] = {};
    EXPECT_EQ(gethexblock("C0FFEE", buf, nullptr, nullptr, 0), buf);
    EXPECT_EQ(std::vector<unsigned char>(buf, buf + 3), (std::vector<unsigned char> { 0xC0, 0xFF, 0xEE }));

    const char raw[] = "abcdef";
    unsigned len = 4;
    EXPECT_EQ(gethexblock(nullptr, buf, &len, raw, 6), buf);
    EXPECT_EQ(std::string(buf, buf + len), "abcd");
    len = 8;
    gethexblock(nullptr, buf, &len, raw, 6);
    EXPECT_EQ(std::string(buf, buf + len), "abcdef");
    len = 8;
    EXPECT_EQ(gethexblock(nullptr, buf, &len, nullptr, 6), nullptr);
    EXPECT_EQ(len, 0u);
}
