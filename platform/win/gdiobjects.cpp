// Pens, brushes, fonts, bitmaps, regions and icons: creation, description and deletion.

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/win/devicecontext.h"
#include "platform/win/monitors.h"

namespace win {
namespace {

struct Objects {
    std::mutex mutex;
    std::unordered_set<GdiObject*> live;
    std::unordered_set<Icon*> icons;
};

Objects& objects()
{
    static Objects* instance = new Objects;
    return *instance;
}

HGDIOBJ stock(GdiObject* object)
{
    object->stock = true;
    return adopt(object);
}

LOGFONTA guifont()
{
    LOGFONTA font {};
    font.lfHeight = -12;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "Sans Serif");
    return font;
}

LOGFONTA fixedfont()
{
    LOGFONTA font = guifont();
    std::strcpy(font.lfFaceName, "Monospace");
    return font;
}

} // namespace

RECT Region::bounds() const
{
    RECT box {};
    bool first = true;
    for (const auto& polygon : polygons) {
        for (const auto& p : polygon) {
            if (first) {
                box = RECT { p.x, p.y, p.x, p.y };
                first = false;
            }
            box.left = std::min(box.left, p.x);
            box.top = std::min(box.top, p.y);
            box.right = std::max(box.right, p.x);
            box.bottom = std::max(box.bottom, p.y);
        }
    }
    return box;
}

GdiObject* objectof(HGDIOBJ handle)
{
    auto* object = static_cast<GdiObject*>(handle);
    auto& o = objects();
    std::lock_guard lock(o.mutex);
    return o.live.count(object) ? object : nullptr;
}

HGDIOBJ adopt(GdiObject* object)
{
    auto& o = objects();
    std::lock_guard lock(o.mutex);
    o.live.insert(object);
    return object;
}

Icon* iconof(HICON handle)
{
    auto* icon = reinterpret_cast<Icon*>(handle);
    auto& o = objects();
    std::lock_guard lock(o.mutex);
    return o.icons.count(icon) ? icon : nullptr;
}

HICON adopticon(Icon* icon)
{
    auto& o = objects();
    std::lock_guard lock(o.mutex);
    o.icons.insert(icon);
    return reinterpret_cast<HICON>(icon);
}

int systemcursorid(HCURSOR cursor)
{
    auto id = reinterpret_cast<uintptr_t>(cursor);
    return id >= 0x4000 && id <= 0xFFFF ? static_cast<int>(id) : 0;
}

std::shared_ptr<Bitmap> copyof(const Bitmap& bitmap)
{
    auto copy = std::make_shared<Bitmap>(bitmap.width, bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            copy->at(x, y) = const_cast<Bitmap&>(bitmap).at(x, y);
        }
    }
    copy->monochrome = bitmap.monochrome;
    copy->alpha = bitmap.alpha;
    return copy;
}

} // namespace win

using namespace win;

HPEN CreatePen(int style, int width, COLORREF colour)
{
    return static_cast<HPEN>(adopt(new Pen(style, std::max(0, width), colour)));
}

HBRUSH CreateSolidBrush(COLORREF colour)
{
    return static_cast<HBRUSH>(adopt(new Brush(BS_SOLID, colour)));
}

HBRUSH GetSysColorBrush(int index)
{
    static std::mutex mutex;
    static HBRUSH brushes[32] = {};
    static COLORREF colours[32] = {};
    if (index < 0 || index >= 32) {
        return nullptr;
    }
    std::lock_guard lock(mutex);
    COLORREF colour = GetSysColor(index);
    if (!brushes[index]) {
        brushes[index] = static_cast<HBRUSH>(stock(new Brush(BS_SOLID, colour)));
    }
    // A changed system colour changes the shared brush, as the system's do.
    if (colours[index] != colour) {
        objectas<Brush>(brushes[index], OBJ_BRUSH)->colour = colour;
        colours[index] = colour;
    }
    return brushes[index];
}

HGDIOBJ GetStockObject(int index)
{
    static HGDIOBJ table[18] = {
        stock(new Brush(BS_SOLID, RGB(255, 255, 255))),
        stock(new Brush(BS_SOLID, RGB(192, 192, 192))),
        stock(new Brush(BS_SOLID, RGB(128, 128, 128))),
        stock(new Brush(BS_SOLID, RGB(64, 64, 64))),
        stock(new Brush(BS_SOLID, RGB(0, 0, 0))),
        stock(new Brush(BS_NULL, 0)),
        stock(new Pen(PS_SOLID, 0, RGB(255, 255, 255))),
        stock(new Pen(PS_SOLID, 0, RGB(0, 0, 0))),
        stock(new Pen(PS_NULL, 0, 0)),
        nullptr,
        nullptr,
        stock(new Font(fixedfont())),
        stock(new Font(guifont())),
        stock(new Font(guifont())),
        stock(new Font(guifont())),
        nullptr,
        stock(new Font(fixedfont())),
        stock(new Font(guifont())),
    };
    return index >= 0 && index < 18 ? table[index] : nullptr;
}

HFONT CreateFontIndirectA(const LOGFONTA* font)
{
    if (!font) {
        return nullptr;
    }
    LOGFONTA copy = *font;
    copy.lfFaceName[sizeof copy.lfFaceName - 1] = 0;
    return static_cast<HFONT>(adopt(new Font(copy)));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeout, DWORD charset, DWORD outprecision, DWORD clipprecision, DWORD quality,
    DWORD pitchandfamily, LPCSTR face)
{
    LOGFONTA font { height, width, escapement, orientation, weight, static_cast<BYTE>(italic),
        static_cast<BYTE>(underline), static_cast<BYTE>(strikeout), static_cast<BYTE>(charset),
        static_cast<BYTE>(outprecision), static_cast<BYTE>(clipprecision), static_cast<BYTE>(quality),
        static_cast<BYTE>(pitchandfamily), {} };
    if (face) {
        std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
    }
    return CreateFontIndirectA(&font);
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height)
{
    if (width < 0 || height < 0 || int64_t(width) * height > (int64_t(1) << 28)) {
        return nullptr;
    }
    return static_cast<HBITMAP>(adopt(new Bitmap(std::max(1, width), std::max(1, height))));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD)
{
    if (!info || info->bmiHeader.biBitCount != 32 || info->bmiHeader.biCompression != BI_RGB
        || info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight == 0) {
        return nullptr;
    }
    LONG height = info->bmiHeader.biHeight;
    HBITMAP handle = CreateCompatibleBitmap(nullptr, info->bmiHeader.biWidth, height < 0 ? -height : height);
    auto* bitmap = objectas<Bitmap>(handle, OBJ_BITMAP);
    if (!bitmap) {
        return nullptr;
    }
    bitmap->bottomup = height > 0;
    bitmap->alpha = true;
    std::fill(bitmap->pixels.begin(), bitmap->pixels.end(), 0u);
    if (bits) {
        *bits = bitmap->pixels.data();
    }
    return handle;
}

HRGN CreatePolygonRgn(const tagPOINT* points, int count, int fillmode)
{
    if (!points || count < 3) {
        return nullptr;
    }
    auto* region = new Region;
    region->polygons.emplace_back(points, points + count);
    region->fillmode = fillmode == WINDING ? WINDING : ALTERNATE;
    return static_cast<HRGN>(adopt(region));
}

BOOL DeleteObject(HGDIOBJ handle)
{
    GdiObject* object = objectof(handle);
    if (!object || object->stock) {
        return FALSE;
    }
    if (object->type == OBJ_BITMAP && static_cast<Bitmap*>(object)->selectedin) {
        return FALSE;
    }
    {
        auto& o = objects();
        std::lock_guard lock(o.mutex);
        o.live.erase(object);
    }
    delete object;
    return TRUE;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer)
{
    GdiObject* object = objectof(handle);
    if (!object) {
        return 0;
    }
    auto copy = [&](const auto& description) {
        int needed = static_cast<int>(sizeof description);
        if (!buffer) {
            return needed;
        }
        int n = std::min(size, needed);
        if (n <= 0) {
            return 0;
        }
        std::memcpy(buffer, &description, static_cast<size_t>(n));
        return n;
    };
    switch (object->type) {
    case OBJ_BITMAP: {
        auto* bitmap = static_cast<Bitmap*>(object);
        BITMAP description { 0, bitmap->width, bitmap->height, bitmap->width * 4, 1,
            static_cast<WORD>(bitmap->monochrome ? 1 : 32), bitmap->pixels.data() };
        return copy(description);
    }
    case OBJ_FONT:
        return copy(static_cast<Font*>(object)->logfont);
    case OBJ_PEN: {
        auto* pen = static_cast<Pen*>(object);
        return copy(LOGPEN { static_cast<UINT>(pen->style), tagPOINT { pen->width, 0 }, pen->colour });
    }
    case OBJ_BRUSH: {
        auto* brush = static_cast<Brush*>(object);
        return copy(LOGBRUSH { brush->style, brush->colour, 0 });
    }
    default:
        return 0;
    }
}

BOOL GetIconInfo(HICON handle, ICONINFO* info)
{
    Icon* icon = iconof(handle);
    if (!icon || !info) {
        return FALSE;
    }
    info->fIcon = icon->isicon ? TRUE : FALSE;
    info->xHotspot = static_cast<DWORD>(icon->hotspot.x);
    info->yHotspot = static_cast<DWORD>(icon->hotspot.y);
    info->hbmColor = icon->colour ? static_cast<HBITMAP>(adopt(new Bitmap(*copyof(*icon->colour)))) : nullptr;
    info->hbmMask = icon->mask ? static_cast<HBITMAP>(adopt(new Bitmap(*copyof(*icon->mask)))) : nullptr;
    return TRUE;
}

BOOL DestroyIcon(HICON handle)
{
    Icon* icon = iconof(handle);
    if (!icon) {
        return FALSE;
    }
    {
        auto& o = objects();
        std::lock_guard lock(o.mutex);
        o.icons.erase(icon);
    }
    delete icon;
    return TRUE;
}
