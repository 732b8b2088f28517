#include <gtest/gtest.h>

#include <vector>

#include "platform/win/gdi.h"

TEST(Gdi, PixelsOfAMemoryContextWithoutAToolkit)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 4);
    HGDIOBJ first = SelectObject(dc, bitmap);
    ASSERT_NE(first, nullptr) << "the context's own bitmap comes back";
    RECT right { 4, 0, 8, 4 };
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    FillRect(dc, &right, brush);
    EXPECT_EQ(GetPixel(dc, 5, 1), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 3, 1), RGB(0, 0, 0));
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(9, 8, 7)), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(9, 8, 7));
    EXPECT_EQ(GetPixel(dc, 8, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, -1, 0, 0), CLR_INVALID);

    BITMAP description {};
    EXPECT_EQ(GetObjectA(bitmap, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.bmWidth, 8);
    EXPECT_EQ(description.bmBitsPixel, 32);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(dc, first), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap)) << "a dead handle";
    EXPECT_FALSE(DeleteObject(GetStockObject(BLACK_PEN))) << "stock objects stay";
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(Gdi, DibRowsComeInTheOrderAsked)
{
    // A 1 x 2 bitmap: red above, blue below.
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = -2; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bits, nullptr);
    static_cast<uint32_t*>(bits)[0] = 0xFFFF0000u;
    static_cast<uint32_t*>(bits)[1] = 0xFF0000FFu;
    info.bmiHeader.biHeight = 2; // bottom-up
    uint32_t rows[2] = {};
    EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows[0], 0xFF0000FFu) << "bottom row first";
    EXPECT_EQ(rows[1], 0xFFFF0000u);
    info.bmiHeader.biHeight = -2;
    EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows[0], 0xFFFF0000u);
    DeleteObject(bitmap);
}

TEST(Gdi, ClipRegionsIntersect)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 100, 100);
    SelectObject(dc, bitmap);
    tagPOINT triangle[] = { { 10, 10 }, { 60, 10 }, { 10, 80 } };
    HRGN region = CreatePolygonRgn(triangle, 3, ALTERNATE);
    EXPECT_EQ(SelectClipRgn(dc, region), COMPLEXREGION);
    EXPECT_EQ(IntersectClipRect(dc, 0, 0, 30, 30), COMPLEXREGION);
    EXPECT_EQ(IntersectClipRect(dc, 50, 50, 60, 60), NULLREGION);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
    DeleteDC(dc);
    DeleteObject(bitmap);
}
