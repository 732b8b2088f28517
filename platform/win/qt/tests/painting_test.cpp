#include <QImage>
#include <cstring>

#include "platform/win/gdi.h"
#include "platform/win/paint.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

// Every pixel of the window's client area, through the layer.
std::vector<COLORREF> pixels(HDC dc, int width, int height)
{
    std::vector<COLORREF> all;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            all.push_back(GetPixel(dc, x, y));
        }
    }
    return all;
}

void scribble(HDC dc)
{
    HBRUSH red = CreateSolidBrush(RGB(200, 30, 30));
    RECT box { 5, 5, 60, 40 };
    FillRect(dc, &box, red);
    DeleteObject(red);
    RECT text { 10, 45, 60, 80 };
    DrawTextA(dc, "Ag", 2, &text, DT_LEFT | DT_TOP | DT_NOPREFIX);
}

} // namespace

TEST(QtPainting, AFocusRectangleDrawnTwiceRestoresThePixels)
{
    FreshQt fresh;
    HWND window = toplevel(0, 0, 120, 90, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    scribble(dc);
    auto before = pixels(dc, 120, 90);

    RECT focus { 20, 20, 90, 70 };
    DrawFocusRect(dc, &focus);
    EXPECT_NE(pixels(dc, 120, 90), before);
    EXPECT_EQ(GetPixel(dc, 50, 2), before[2 * 120 + 50]) << "off the rectangle nothing changed";
    DrawFocusRect(dc, &focus);
    EXPECT_EQ(pixels(dc, 120, 90), before);
    ReleaseDC(window, dc);
}

TEST(QtPainting, DoubleBufferingThroughAMemoryContextAndBlit)
{
    FreshQt fresh;
    HWND window = toplevel(0, 0, 120, 90, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP buffer = CreateCompatibleBitmap(screen, 120, 90);
    HGDIOBJ old = SelectObject(memory, buffer);
    EXPECT_EQ(SelectObject(CreateCompatibleDC(screen), buffer), nullptr)
        << "a bitmap is in one context at a time";
    RECT all { 0, 0, 120, 90 };
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    scribble(memory);
    EXPECT_TRUE(BitBlt(screen, 0, 0, 120, 90, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(pixels(screen, 120, 90), pixels(memory, 120, 90));
    EXPECT_EQ(GetPixel(screen, 10, 10), RGB(200, 30, 30));
    EXPECT_FALSE(DeleteObject(buffer)) << "selected bitmaps are not deleted";
    SelectObject(memory, old);
    EXPECT_TRUE(DeleteObject(buffer));
    DeleteDC(memory);
    ReleaseDC(window, screen);
}

TEST(QtPainting, InvalidatingPaintsThroughWmPaintAndTheSurfaceShowsIt)
{
    FreshQt fresh;
    HWND window = toplevel(0, 0, 100, 80, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    settle();
    RECT painted {};
    answer() = [&](HWND w, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT) {
            return std::nullopt;
        }
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        painted = ps.rcPaint;
        HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
        RECT everything { 0, 0, 100, 80 };
        FillRect(dc, &everything, blue); // clipped to the update area
        DeleteObject(blue);
        EndPaint(w, &ps);
        return 0;
    };
    received().clear();
    RECT part { 10, 10, 30, 20 };
    InvalidateRect(window, &part, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(messagesof(WM_PAINT).size(), 1u);
    EXPECT_EQ(messagesof(WM_ERASEBKGND).size(), 1u);
    EXPECT_EQ(painted.left, 10);
    EXPECT_EQ(painted.bottom, 20);
    QImage shown = winqt::grabwindow(window);
    EXPECT_EQ(shown.pixelColor(15, 15), QColor(0, 0, 255));
    EXPECT_NE(shown.pixelColor(50, 50), QColor(0, 0, 255)) << "outside the update area nothing was drawn";
    UpdateWindow(window);
    EXPECT_EQ(messagesof(WM_PAINT).size(), 1u) << "nothing was left to paint";
}

TEST(QtPainting, BottomUpSectionsDrawUprightAndTextIsMeasured)
{
    FreshQt fresh;
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 3; // rows bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, section);
    RECT top { 0, 0, 4, 1 };
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &top, green);
    auto* rows = static_cast<uint32_t*>(bits);
    EXPECT_EQ(rows[2 * 4] & 0xFFFFFF, 0x00FF00u) << "the top row is the last one in memory";
    EXPECT_EQ(rows[0] & 0xFFFFFF, 0u);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 255, 0));

    SIZE one {}, two {};
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "M", 1, &one));
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "MM", 2, &two));
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(two.cx, one.cx);
    RECT measure { 0, 0, 0, 0 };
    EXPECT_EQ(DrawTextA(dc, "MM", -1, &measure, DT_CALCRECT | DT_SINGLELINE), two.cy);
    EXPECT_EQ(measure.right, two.cx);
    DeleteDC(dc);
    DeleteObject(section);
    DeleteObject(green);
}
