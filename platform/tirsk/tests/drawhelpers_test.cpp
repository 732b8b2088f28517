#include "platform/tirsk/drawhelpers.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win/gdi.h"

namespace {

// Eight pixels a byte: a fixed-pitch font.
int fixedpitch(const std::string& text)
{
    return static_cast<int>(text.size()) * 8;
}

TEST(DrawFFText, FillsTheBoxWithTheBackgroundColourUnlessTransparent)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(dc, 10, 10);
    HGDIOBJ old = SelectObject(dc, target);
    RECT box { 0, 0, 10, 10 };
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkColor(dc, RGB(200, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    drawfftext(dc, nullptr, &box, 0);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    drawfftext(dc, nullptr, &box, 0);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(200, 0, 0));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

TEST(DrawFilePath, ShortensFromTheMiddleThenTheName)
{
    const std::string path = "C:\\Users\\me\\Projects\\Amplifier\\amp.vktprj";
    struct Case {
        int chars;
        const char* expected;
    };
    const Case cases[] = {
        { 100, "C:\\Users\\me\\Projects\\Amplifier\\amp.vktprj" },
        { 41, "C:\\Users\\me\\Projects\\Amplifier\\amp.vktprj" }, // exactly fits
        { 40, "C:\\...\\me\\Projects\\Amplifier\\amp.vktprj" },
        { 30, "C:\\...\\Amplifier\\amp.vktprj" },
        { 20, "C:\\...\\amp.vktprj" },
        { 14, "...\\amp.vktprj" },
        { 11, "...p.vktprj" },
        { 2, "..." },
    };
    for (const Case& c : cases)
        EXPECT_EQ(shortenpath(path, c.chars * 8, fixedpitch), c.expected) << c.chars;
    EXPECT_EQ(shortenpath("/home/me/a/b/file.txt", 15 * 8, fixedpitch), "/.../b/file.txt");
    EXPECT_EQ(shortenpath("noseparators.txt", 10 * 8, fixedpitch), "...ors.txt");
    // A cut never splits a character: "é" is two bytes, and "..." with its second byte would fit.
    EXPECT_EQ(shortenpath("xxxé.txt", 8 * 8, fixedpitch), "....txt");
    EXPECT_EQ(shortenpath("", 0, fixedpitch), "");
}

TEST(AdjustColour, LightensAndDarkensByPercent)
{
    EXPECT_EQ(adjust_colour(RGB(0, 100, 255), 20), RGB(51, 131, 255));
    EXPECT_EQ(adjust_colour(RGB(200, 100, 0), -50), RGB(100, 50, 0));
    EXPECT_EQ(adjust_colour(RGB(1, 2, 3), 0), RGB(1, 2, 3));
    EXPECT_EQ(adjust_colour(RGB(1, 2, 3), 400), RGB(255, 255, 255));
    EXPECT_EQ(adjust_colour(RGB(1, 2, 3), -400), RGB(0, 0, 0));
}

} // namespace
