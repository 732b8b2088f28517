// Caches of VGDVC: a bitmap device a drawing paints an area into off the page, laid back onto
// the device as a bitmap.

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/casq/devices.h"
#include "platform/casq/mapping.h"

VGDVC* VGDVC::createcache(const BOX& area, int rotation)
{
    cache.reset();
    if (!(getcaps() & DC_BITMAPS) || area.isvoid()) {
        return nullptr;
    }
    // The cache's pixels are as fine as this device's units.
    double perinch = std::max(map->getxscale(), map->getyscale()) * double(unitsperinch);
    auto device = std::make_unique<BMDVC>(
        nullptr, 0, 0, background, unitsperinch, int(std::clamp(std::lround(perinch), 1L, 100000L)));
    device->begin();
    device->setmapping(1, 1, 1, -rotation, 0);
    device->setwindow(area);
    cache = std::move(device);
    return cache.get();
}

int VGDVC::drawcache(const BOX& area, int rotation)
{
    std::unique_ptr<VGDVC> drawn = std::move(cache);
    auto* bitmapdevice = dynamic_cast<BMDVC*>(drawn.get());
    if (!bitmapdevice || area.isvoid()) {
        return 0;
    }
    bitmapdevice->end();
    HBITMAP bitmap = bitmapdevice->getbitmap();
    if (!bitmap) {
        return 0;
    }
    BITMAP description {};
    GetObjectA(bitmap, sizeof description, &description);
    BITMAPINFO header {};
    header.bmiHeader = { sizeof(BITMAPINFOHEADER), description.bmWidth, -description.bmHeight, 1, 32, BI_RGB,
        0, 0, 0, 0, 0 };
    std::vector<uint32_t> bits(size_t(description.bmWidth) * size_t(description.bmHeight));
    HDC dc = CreateCompatibleDC(nullptr);
    int rows = GetDIBits(dc, bitmap, 0, UINT(description.bmHeight), bits.data(), &header, DIB_RGB_COLORS);
    DeleteDC(dc);
    DeleteObject(bitmap);
    if (rows != description.bmHeight) {
        return 0;
    }
    // The bitmap is the area turned back: its width and height are the turned area's, placed so
    // that its centre lands on the area's.
    bool across = ((((rotation % 3600) + 3600) % 3600 + 450) / 900) % 2;
    int32_t width = clampcoord(across ? area.height() : area.width());
    int32_t height = clampcoord(across ? area.width() : area.height());
    CTS placement(POINT(0, 0), rotation);
    POINT half = placement.turn(POINT(width / 2, height / 2));
    POINT centre = area.centre();
    placement.x = clampcoord(int64_t(centre.x) - half.x);
    placement.y = clampcoord(int64_t(centre.y) - half.y);
    return drawbitmap(placement, width, height, &header, bits.data(), bits.size() * 4);
}

HDC VGDVC::getdc()
{
    return nullptr;
}
