#include "core/text/format.h"
#include "core/text/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>

namespace {

// Sets the display unit of lengths for one test and puts the previous one back.
class DimUnit {
public:
    explicit DimUnit(int unit)
        : saved(dimunit.exchange(unit))
    {
    }
    ~DimUnit() { dimunit = saved; }

private:
    int saved;
};

} // namespace

TEST(Format, ValuesWithEngineeringPrefixes)
{
    struct {
        double value;
        int digits;
        int pointprefix;
        const char* expected;
    } cases[] = {
        { 4700, 3, 0, "4.70k" },
        { 4700, 3, 1, "4k70" },
        { 100000, 3, 0, "100k" },
        { 100000, 3, 1, "100k" },
        { 1.0, 3, 0, "1.00" },
        { 1.0, 3, 1, "1.00" },
        { 0.5, 3, 0, "500m" },
        { -2.2e-6, 3, 0, "-2.20u" },
        { 22, 3, 0, "22.0" },
        { 1e-15, 3, 0, "1.00f" },
        { 0, 3, 0, "0.00" },
        { 1e-20, 3, 0, "0.00" },
        { 4700, 20, 0, "4.70000000000000k" },
        { 4700, 2, 0, "4.7k" },
        { 47000, 2, 0, "47k" },
        { 470000, 2, 1, "470k" },
        { 4700, -4, 1, "4k7" },
        { 999.9e12, 3, 0, "1000T" },
        { 1e15, 3, 0, "1.00e+15" },
        { 1e15, 3, 1, "1.00e+15" },
        { -1e300, 15, 0, "-1.00000000000000e+300" },
        { 3e200, 1, 0, "3.0e+200" },
        { std::numeric_limits<double>::infinity(), 3, 0, "inf" },
        { -std::numeric_limits<double>::infinity(), 3, 0, "-inf" },
    };
    for (const auto& c : cases) {
        char buf[24];
        EXPECT_STREQ(fmtval(c.value, c.digits, c.pointprefix, buf), c.expected) << c.value;
        EXPECT_STREQ(fmtval(c.value, c.digits, c.pointprefix, nullptr), c.expected) << c.value;
    }
}

// Every text fits the stated 24 bytes and reads back as the value it shows (femto excepted: there
// the reader takes f for farad).
TEST(Format, ValueTextsAreBoundedAndReadBack)
{
    for (int digits : { -3, 2, 3, 6, 15, 40 }) {
        for (int pointprefix : { 0, 1 }) {
            for (double value = 1e-12; value < 1e308; value *= 7.3) {
                for (double signedvalue : { value, -value }) {
                    char text[64];
                    std::memset(text, '#', sizeof text);
                    fmtval(signedvalue, digits, pointprefix, text);
                    ASSERT_LE(std::strlen(text), 23u) << signedvalue;
                    char* p = text;
                    double back;
                    ASSERT_TRUE(getval(&p, &back)) << text;
                    int shown = digits < 3 ? 2 : std::min(digits, 15);
                    EXPECT_NEAR(back, signedvalue, std::fabs(signedvalue) * 0.6 * std::pow(10.0, 1 - shown))
                        << text;
                }
            }
        }
    }
}

TEST(Format, ResultBuffersArePerThread)
{
    char* mine = fmtval(1, 3, 0, nullptr);
    char* mydim = fmtdim(100000, nullptr);
    std::thread([] {
        fmtval(2e-3, 3, 0, nullptr);
        fmtdim(2540000, nullptr);
    }).join();
    EXPECT_STREQ(mine, "1.00");
    EXPECT_STREQ(mydim, "1mm");
}

TEST(Format, Lengths)
{
    struct {
        int setting;
        int value;
        int scale;
        const char* expected;
        int unit;
    } cases[] = {
        { 0, 0, 1, "0", 1 },
        { 0, 25400, 1, "10th", 2540 },
        { 0, 254000, 1, "0.1in", 2540000 },
        { 0, 100000, 1, "1mm", 100000 },
        { 0, -100000, 1, "-1mm", 100000 },
        { 0, 50, 1, "500nm", 1 },
        { 0, 2540000, 1, "1in", 2540000 },
        { 0, 1000000, 1, "10mm", 100000 },
        { 0, 5000, 1, "50um", 100 },
        { 0, 10, 2540, "10th", 2540 },
        { 0, 1000, 2540, "1in", 2540000 },
        { 0, 50, 100, "50um", 100 },
        { 0, 100000, 0, "1mm", 100000 },
        { -2, 5000, 1, "50um", 100 },
        { -2, 100000, 1, "1mm", 100000 },
        { -1, 25400, 1, "10th", 2540 },
        { -1, 2540000, 1, "1in", 2540000 },
        { 100000, 254000, 1, "2.54mm", 100000 },
        { 2540, 1000, 1, "0.4th", 2540 },
        { 1, 12345, 1, "123450nm", 1 },
        { 30480000, 30480000, 1, "1ft", 30480000 },
        { 7, 700, 1, "100", 7 },
    };
    for (const auto& c : cases) {
        DimUnit unit(c.setting);
        char buf[24];
        int chosen = -99;
        EXPECT_STREQ(fmtdim(c.value, &chosen, c.scale, buf), c.expected) << c.setting << " " << c.value;
        EXPECT_EQ(chosen, c.unit) << c.setting << " " << c.value;
        EXPECT_EQ(getdimunit(c.value, c.scale), c.unit) << c.setting << " " << c.value;
        if (c.scale == 1) {
            EXPECT_STREQ(fmtdim(c.value, nullptr), c.expected) << c.setting << " " << c.value;
        }
    }
}

TEST(Format, LengthTextsAreBounded)
{
    for (int setting : { 0, -1, -2, 1, 7, -7, 100000000 }) {
        DimUnit unit(setting);
        for (int value : { 1, -1, 99, 100, 12345, -2147483647 - 1, 2147483647 }) {
            for (int scale : { 1, 3, 2540, 99999, 2147483647 }) {
                char text[64];
                std::memset(text, '#', sizeof text);
                fmtdim(value, nullptr, scale, text);
                EXPECT_LE(std::strlen(text), 23u) << text;
            }
        }
    }
}

TEST(Format, Colours)
{
    char buf[17];
    fmtrgb(buf, 0 | 128 << 8 | 255 << 16, 0);
    EXPECT_STREQ(buf, "(0,128,255)");
    fmtrgb(buf, 0xff000000u | 128 << 8 | 255 << 16, 1);
    EXPECT_STREQ(buf, "(0x00,0x80,0xFF)");
}

TEST(Format, DriveStates)
{
    struct {
        const char* keyword;
        DSTATES level;
    } cases[] = {
        { "plo", DS_PLO },
        { "ILO", DS_PLO },
        { "Low", DS_SLO },
        { "0", DS_SLO },
        { "slo", DS_SLO },
        { "WLO", DS_WLO },
        { "float", DS_FLOAT },
        { "FLT", DS_NONE },
        { "whi", DS_WHI },
        { "High", DS_SHI },
        { "1", DS_SHI },
        { "SHI", DS_SHI },
        { "PHI", DS_PHI },
        { "ihi", DS_PHI },
        { "", DS_NONE },
        { nullptr, DS_NONE },
    };
    for (const auto& c : cases)
        EXPECT_EQ(pallex_state(c.keyword), c.level) << (c.keyword ? c.keyword : "null");
    for (int level = DS_PLO; level <= DS_PHI; ++level)
        EXPECT_EQ(pallex_state(pallex_state(static_cast<DSTATES>(level))), level);
    EXPECT_EQ(pallex_state(DS_NONE), nullptr);
    EXPECT_EQ(pallex_state(static_cast<DSTATES>(7)), nullptr);
}
