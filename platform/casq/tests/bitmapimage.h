#pragma once

// The bitmap a bitmap device drew, as an image, read back through the system's calls as its
// callers read it.

#include <QImage>

#include "platform/casq/devices.h"

namespace casqtest {

inline QImage imageof(const BMDVC& device)
{
    HBITMAP bitmap = device.getbitmap();
    BITMAP description {};
    GetObjectA(bitmap, sizeof description, &description);
    QImage image(description.bmWidth, description.bmHeight, QImage::Format_RGB32);
    BITMAPINFO info {};
    info.bmiHeader
        = { sizeof(BITMAPINFOHEADER), description.bmWidth, -description.bmHeight, 1, 32, 0, 0, 0, 0, 0, 0 };
    HDC dc = CreateCompatibleDC(nullptr);
    GetDIBits(dc, bitmap, 0, UINT(description.bmHeight), image.bits(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return image;
}

} // namespace casqtest
