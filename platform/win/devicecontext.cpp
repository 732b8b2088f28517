#include "platform/win/devicecontext.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

namespace win {
namespace {

struct Contexts {
    std::mutex mutex;
    std::unordered_set<DeviceContext*> live;
};

Contexts& contexts()
{
    static Contexts* instance = new Contexts;
    return *instance;
}

} // namespace

COLORREF colourofpixel(uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
}

uint32_t pixelofcolour(COLORREF colour)
{
    return 0xFF000000u | (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8)
        | GetBValue(colour);
}

DeviceContext::DeviceContext()
    : pen(objectas<Pen>(GetStockObject(BLACK_PEN), OBJ_PEN))
    , brush(objectas<Brush>(GetStockObject(WHITE_BRUSH), OBJ_BRUSH))
    , font(objectas<Font>(GetStockObject(SYSTEM_FONT), OBJ_FONT))
{
    auto& c = contexts();
    std::lock_guard lock(c.mutex);
    c.live.insert(this);
}

DeviceContext::~DeviceContext()
{
    if (bitmap) {
        bitmap->selectedin = nullptr;
    }
    auto& c = contexts();
    std::lock_guard lock(c.mutex);
    c.live.erase(this);
}

HDC DeviceContext::handle()
{
    return reinterpret_cast<HDC>(this);
}

DeviceContext* DeviceContext::of(HDC dc)
{
    auto* context = reinterpret_cast<DeviceContext*>(dc);
    auto& c = contexts();
    std::lock_guard lock(c.mutex);
    return c.live.count(context) ? context : nullptr;
}

SIZE DeviceContext::size() const
{
    return bitmap ? SIZE { bitmap->width, bitmap->height } : SIZE { 0, 0 };
}

COLORREF DeviceContext::getpixel(int x, int y)
{
    if (!bitmap || x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height) {
        return CLR_INVALID;
    }
    return colourofpixel(bitmap->at(x, y));
}

COLORREF DeviceContext::setpixel(int x, int y, COLORREF colour)
{
    if (!bitmap || x < 0 || y < 0 || x >= bitmap->width || y >= bitmap->height) {
        return CLR_INVALID;
    }
    bitmap->at(x, y) = pixelofcolour(colour);
    return colour;
}

int DeviceContext::devicecaps(int index)
{
    switch (index) {
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZRES:
        return size().cx;
    case VERTRES:
        return size().cy;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case HORZSIZE:
        return size().cx * 254 / 960;
    case VERTSIZE:
        return size().cy * 254 / 960;
    default:
        return 0;
    }
}

BitmapDC::BitmapDC()
{
    memory = true;
}

void BitmapDC::fillrect(const RECT& rect, const Brush& brush)
{
    if (!bitmap || brush.style != BS_SOLID) {
        return;
    }
    int left = std::max<LONG>(0, rect.left);
    int top = std::max<LONG>(0, rect.top);
    int right = std::min<LONG>(bitmap->width, rect.right);
    int bottom = std::min<LONG>(bitmap->height, rect.bottom);
    uint32_t pixel = pixelofcolour(brush.colour);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            bitmap->at(x, y) = pixel;
        }
    }
}

} // namespace win
