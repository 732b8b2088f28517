#include <QBuffer>
#include <QImage>

#include "platform/win/gdi.h"
#include "platform/win/images.h"
#include "platform/win/input.h"
#include "platform/win/modules.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(QtImages, BitmapsIconsAndCursorsComeFromTheModulesResources)
{
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(QColor(192, 192, 192));
    strip.setPixelColor(20, 5, QColor(10, 20, 30));
    QImage arrow(16, 16, QImage::Format_ARGB32);
    arrow.fill(Qt::transparent);
    arrow.setPixelColor(3, 4, QColor(0, 0, 0));
    arrow.setText("hotspot", "3,4");
    static const QByteArray stripbytes = png(strip);
    static const QByteArray arrowbytes = png(arrow);
    static const RESOURCEENTRY entries[] = {
        { RT_BITMAP, "STRIP", stripbytes.constData(), static_cast<DWORD>(stripbytes.size()) },
        { RT_GROUP_CURSOR, "ARROWN", arrowbytes.constData(), static_cast<DWORD>(arrowbytes.size()) },
        { RT_GROUP_ICON, "APPICON", arrowbytes.constData(), static_cast<DWORD>(arrowbytes.size()) },
    };
    HMODULE program = GetModuleHandleA(nullptr);
    registerresources(program, entries, 3);

    HBITMAP bitmap = LoadBitmapA(program, "strip");
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 20, 5), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(192, 192, 192));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);

    HCURSOR cursor = LoadCursorA(program, "ARROWN");
    ASSERT_NE(cursor, nullptr);
    ICONINFO info {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 3u);
    EXPECT_EQ(info.yHotspot, 4u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);

    HICON icon = static_cast<HICON>(LoadImageA(program, "APPICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(winqt::toimage(icon).width(), GetSystemMetrics(SM_CXICON)) << "at the large icon size";
    DestroyIcon(icon);

    EXPECT_EQ(LoadBitmapA(program, "NOSUCHBITMAP"), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_SIZEWE), reinterpret_cast<HCURSOR>(32644));
    unregisterresources(program, entries);
}
