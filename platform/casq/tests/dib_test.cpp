#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/casq/dib.h"

namespace {

// A header with room for a colour table of 16 entries behind it.
struct PACKED {
    BITMAPINFOHEADER header;
    RGBQUAD table[16];
};

PACKED dib(int width, int height, int bits)
{
    PACKED p {};
    p.header = { sizeof(BITMAPINFOHEADER), width, height, 1, WORD(bits), 0, 0, 0, 0, 0, 0 };
    return p;
}

bool decode(const PACKED& p, const std::vector<unsigned char>& bits, casq::PIXELS& pixels)
{
    return casq::decodedib(reinterpret_cast<const BITMAPINFO*>(&p), bits.data(), bits.size(), pixels);
}

} // namespace

TEST(Dib, DecodesEveryDepthTopRowFirst)
{
    // 2 by 2 pixels; the bottom row stored first: bottom-left red, top-right green.
    struct CASE {
        int bits;
        std::vector<unsigned char> rows;
    };
    PACKED indexed = dib(2, 2, 1);
    const CASE cases[] = {
        { 24, { 0, 0, 255, 0, 0, 0, 0, 0, /* top */ 0, 0, 0, 0, 255, 0, 0, 0 } },
        { 32, { 0, 0, 255, 0, 0, 0, 0, 0, /* top */ 0, 0, 0, 0, 0, 255, 0, 0 } },
        { 16, { 0x00, 0x7C, 0, 0, /* top */ 0, 0, 0xE0, 0x03 } },
        { 8, { 1, 0, 0, 0, /* top */ 0, 2, 0, 0 } },
        { 4, { 0x10, 0, 0, 0, /* top */ 0x02, 0, 0, 0 } },
    };
    for (const CASE& c : cases) {
        PACKED p = dib(2, 2, c.bits);
        p.table[1] = { 0, 0, 255, 0 };
        p.table[2] = { 0, 255, 0, 0 };
        casq::PIXELS pixels;
        ASSERT_TRUE(decode(p, c.rows, pixels)) << c.bits;
        EXPECT_EQ(pixels.argb[2], 0xFFFF0000u) << c.bits << " bits: bottom-left red";
        EXPECT_EQ(pixels.argb[1], 0xFF00FF00u) << c.bits << " bits: top-right green";
        EXPECT_EQ(pixels.argb[0], 0xFF000000u) << c.bits;
    }
    indexed.table[1] = { 255, 255, 255, 0 };
    casq::PIXELS mono;
    ASSERT_TRUE(decode(indexed, { 0x40, 0, 0, 0, 0x80, 0, 0, 0 }, mono));
    EXPECT_EQ(mono.argb[0], 0xFFFFFFFFu) << "top row stored last";
    EXPECT_EQ(mono.argb[3], 0xFFFFFFFFu);

    PACKED topdown = dib(2, -2, 24);
    casq::PIXELS flipped;
    ASSERT_TRUE(decode(topdown, cases[0].rows, flipped));
    EXPECT_EQ(flipped.argb[0], 0xFFFF0000u) << "a negative height keeps the rows in order";
}

TEST(Dib, RefusesHeadersThatDisagreeWithTheirBits)
{
    struct CASE {
        const char* name;
        PACKED header;
        size_t size;
    };
    PACKED compressed = dib(2, 2, 8);
    compressed.header.biCompression = 1; // run-length
    PACKED planes = dib(2, 2, 24);
    planes.header.biPlanes = 2;
    PACKED table = dib(2, 2, 1);
    table.header.biClrUsed = 3; // more colours than one bit holds
    PACKED shortheader = dib(2, 2, 24);
    shortheader.header.biSize = 12;
    const CASE cases[] = {
        { "bits one byte short", dib(2, 2, 24), 15 },
        { "no width", dib(0, 2, 24), 16 },
        { "huge width", dib(1 << 30, 1, 24), size_t(1) << 32 },
        { "height at the limit", dib(1, INT32_MIN, 24), 16 },
        { "unknown depth", dib(2, 2, 7), 64 },
        { "compressed", compressed, 64 },
        { "two planes", planes, 64 },
        { "colour table too long", table, 64 },
        { "header too short", shortheader, 64 },
    };
    std::vector<unsigned char> bits(64, 0xAB);
    for (const CASE& c : cases) {
        casq::PIXELS pixels;
        pixels.width = 7;
        EXPECT_FALSE(
            casq::decodedib(reinterpret_cast<const BITMAPINFO*>(&c.header), bits.data(), c.size, pixels))
            << c.name;
        EXPECT_EQ(pixels.width, 7) << c.name << ": left untouched";
    }
    casq::PIXELS pixels;
    EXPECT_FALSE(casq::decodedib(nullptr, bits.data(), bits.size(), pixels));
}
