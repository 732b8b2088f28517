// The drawing calls: state of the context, then the device draws.

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/win/backend.h"
#include "platform/win/devicecontext.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

// The bitmap every memory context starts with and gets back: 1 x 1, shared, never deleted.
Bitmap* defaultbitmap()
{
    static Bitmap* bitmap = [] {
        auto* b = new Bitmap(1, 1);
        b->stock = true;
        b->monochrome = true;
        adopt(b);
        return b;
    }();
    return bitmap;
}

std::string_view textof(LPCSTR text, int length)
{
    if (!text) {
        return {};
    }
    return length < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(length));
}

RECT normalised(int left, int top, int right, int bottom)
{
    return RECT { std::min(left, right), std::min(top, bottom), std::max(left, right),
        std::max(top, bottom) };
}

int regiontype(const DeviceContext& dc)
{
    if (dc.clip.empty()) {
        return SIMPLEREGION;
    }
    RECT box = dc.clip.front().bounds();
    for (const auto& r : dc.clip) {
        box = intersect(box, r.bounds());
    }
    return isempty(box) ? NULLREGION
        : (dc.clip.size() == 1 && dc.clip.front().polygons.size() == 1
              && dc.clip.front().polygons.front().size() == 4)
        ? SIMPLEREGION
        : COMPLEXREGION;
}

} // namespace

HDC CreateCompatibleDC(HDC like)
{
    DeviceContext* dc = backend().creatememorydc(DeviceContext::of(like));
    if (!dc) {
        return nullptr;
    }
    dc->memory = true;
    dc->bitmap = defaultbitmap();
    dc->bitmapchanged();
    return dc->handle();
}

BOOL DeleteDC(HDC handle)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc || !dc->memory) {
        return FALSE;
    }
    if (dc->bitmap && !dc->bitmap->stock) {
        dc->bitmap->selectedin = nullptr;
    }
    dc->bitmap = nullptr;
    delete dc;
    return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object)
{
    DeviceContext* dc = DeviceContext::of(handle);
    GdiObject* selected = objectof(object);
    if (!dc || !selected) {
        return nullptr;
    }
    HGDIOBJ old = nullptr;
    switch (selected->type) {
    case OBJ_PEN:
        old = dc->pen;
        dc->pen = static_cast<Pen*>(selected);
        break;
    case OBJ_BRUSH:
        old = dc->brush;
        dc->brush = static_cast<Brush*>(selected);
        break;
    case OBJ_FONT:
        old = dc->font;
        dc->font = static_cast<Font*>(selected);
        break;
    case OBJ_REGION:
        return reinterpret_cast<HGDIOBJ>(
            static_cast<intptr_t>(SelectClipRgn(handle, static_cast<HRGN>(object))));
    case OBJ_BITMAP: {
        auto* bitmap = static_cast<Bitmap*>(selected);
        if (!dc->memory || (!bitmap->stock && bitmap->selectedin && bitmap->selectedin != dc)) {
            return nullptr;
        }
        old = dc->bitmap;
        if (dc->bitmap && !dc->bitmap->stock) {
            dc->bitmap->selectedin = nullptr;
        }
        dc->bitmap = bitmap;
        if (!bitmap->stock) {
            bitmap->selectedin = dc;
        }
        dc->bitmapchanged();
        return old;
    }
    default:
        return nullptr;
    }
    dc->statechanged();
    return old;
}

namespace {

template <class T> T setstate(HDC handle, T DeviceContext::*field, T value, T failure)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc) {
        return failure;
    }
    T old = dc->*field;
    dc->*field = value;
    dc->statechanged();
    return old;
}

template <class T> T getstate(HDC handle, T DeviceContext::*field, T failure)
{
    DeviceContext* dc = DeviceContext::of(handle);
    return dc ? dc->*field : failure;
}

} // namespace

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    return setstate(dc, &DeviceContext::textcolour, colour, CLR_INVALID);
}
COLORREF SetBkColor(HDC dc, COLORREF colour)
{
    return setstate(dc, &DeviceContext::bkcolour, colour, CLR_INVALID);
}
COLORREF GetBkColor(HDC dc)
{
    return getstate(dc, &DeviceContext::bkcolour, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE) {
        return 0;
    }
    return setstate(dc, &DeviceContext::bkmode, mode, 0);
}

int GetBkMode(HDC dc)
{
    return getstate(dc, &DeviceContext::bkmode, 0);
}

int SelectClipRgn(HDC handle, HRGN region)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc) {
        return 0;
    }
    dc->clip.clear();
    if (auto* r = objectas<Region>(region, OBJ_REGION)) {
        dc->clip.push_back(*r);
    }
    dc->statechanged();
    return regiontype(*dc);
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc) {
        return 0;
    }
    Region r;
    RECT box = normalised(left, top, right, bottom);
    r.polygons.push_back({ { box.left, box.top }, { box.right, box.top }, { box.right, box.bottom },
        { box.left, box.bottom } });
    dc->clip.push_back(r);
    dc->statechanged();
    return regiontype(*dc);
}

int GetDeviceCaps(HDC handle, int index)
{
    DeviceContext* dc = DeviceContext::of(handle);
    return dc ? dc->devicecaps(index) : 0;
}

BOOL MoveToEx(HDC handle, int x, int y, tagPOINT* old)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc) {
        return FALSE;
    }
    if (old) {
        *old = dc->position;
    }
    dc->position = tagPOINT { x, y };
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc) {
        return FALSE;
    }
    tagPOINT line[2] = { dc->position, { x, y } };
    dc->polyline(line, 2);
    dc->position = line[1];
    return TRUE;
}

BOOL Polyline(HDC handle, const tagPOINT* points, int count)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc || !points || count < 2) {
        return FALSE;
    }
    dc->polyline(points, count);
    return TRUE;
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc) {
        return FALSE;
    }
    dc->rectangle(normalised(left, top, right, bottom));
    return TRUE;
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brush)
{
    DeviceContext* dc = DeviceContext::of(handle);
    auto* b = objectas<Brush>(brush, OBJ_BRUSH);
    if (!dc || !rect || !b) {
        return 0;
    }
    if (!isempty(*rect)) {
        dc->fillrect(*rect, *b);
    }
    return 1;
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brush)
{
    DeviceContext* dc = DeviceContext::of(handle);
    auto* b = objectas<Brush>(brush, OBJ_BRUSH);
    if (!dc || !rect || !b || isempty(*rect)) {
        return 0;
    }
    const RECT& r = *rect;
    dc->fillrect(RECT { r.left, r.top, r.right, r.top + 1 }, *b);
    dc->fillrect(RECT { r.left, r.bottom - 1, r.right, r.bottom }, *b);
    dc->fillrect(RECT { r.left, r.top, r.left + 1, r.bottom }, *b);
    dc->fillrect(RECT { r.right - 1, r.top, r.right, r.bottom }, *b);
    return 1;
}

BOOL DrawFocusRect(HDC handle, const RECT* rect)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc || !rect) {
        return FALSE;
    }
    dc->focusrect(*rect);
    return TRUE;
}

int DrawTextA(HDC handle, LPCSTR text, int length, RECT* rect, UINT format)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc || !rect || !text) {
        return 0;
    }
    return dc->drawtext(textof(text, length), *rect, format);
}

BOOL GetTextExtentPoint32A(HDC handle, LPCSTR text, int length, SIZE* size)
{
    DeviceContext* dc = DeviceContext::of(handle);
    if (!dc || !size || (!text && length > 0)) {
        return FALSE;
    }
    *size = dc->textextent(textof(text, length));
    return TRUE;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop)
{
    return StretchBlt(destination, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy, int swidth,
    int sheight, DWORD rop)
{
    DeviceContext* to = DeviceContext::of(destination);
    DeviceContext* from = DeviceContext::of(source);
    bool needssource
        = rop != PATCOPY && rop != PATINVERT && rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS;
    if (!to || (needssource && !from)) {
        return FALSE;
    }
    RECT target { x, y, x + width, y + height };
    RECT area { sx, sy, sx + swidth, sy + sheight };
    return to->blit(target, from ? *from : *to, area, rop) ? TRUE : FALSE;
}

COLORREF GetPixel(HDC handle, int x, int y)
{
    DeviceContext* dc = DeviceContext::of(handle);
    return dc ? dc->getpixel(x, y) : CLR_INVALID;
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF colour)
{
    DeviceContext* dc = DeviceContext::of(handle);
    return dc ? dc->setpixel(x, y, colour) : CLR_INVALID;
}

COLORREF GetNearestColor(HDC handle, COLORREF colour)
{
    return DeviceContext::of(handle) ? (colour & 0x00FFFFFF) : CLR_INVALID;
}

int GetDIBits(HDC, HBITMAP handle, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT)
{
    auto* bitmap = objectas<Bitmap>(handle, OBJ_BITMAP);
    if (!bitmap || !info) {
        return 0;
    }
    BITMAPINFOHEADER& header = info->bmiHeader;
    if (!bits) {
        header.biWidth = bitmap->width;
        header.biHeight = bitmap->height;
        header.biPlanes = 1;
        header.biBitCount = 32;
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(bitmap->width * bitmap->height * 4);
        return bitmap->height;
    }
    if (header.biBitCount != 32 || header.biWidth != bitmap->width) {
        return 0;
    }
    const bool topdown = header.biHeight < 0;
    auto* out = static_cast<uint32_t*>(bits);
    UINT copied = 0;
    for (UINT line = start; line < start + lines && line < UINT(bitmap->height); ++line, ++copied) {
        int y = topdown ? static_cast<int>(line) : bitmap->height - 1 - static_cast<int>(line);
        for (int x = 0; x < bitmap->width; ++x) {
            out[size_t(copied) * bitmap->width + x] = bitmap->at(x, y);
        }
    }
    return static_cast<int>(copied);
}

BOOL DrawIconEx(
    HDC handle, int x, int y, HICON icon, int width, int height, UINT, HBRUSH background, UINT flags)
{
    DeviceContext* dc = DeviceContext::of(handle);
    Icon* i = iconof(icon);
    if (!dc || !i || (!i->colour && !i->mask)) {
        return FALSE;
    }
    const Bitmap& image = i->colour ? *i->colour : *i->mask;
    if (width == 0) {
        width = image.width;
    }
    if (height == 0) {
        height = i->colour ? image.height : image.height / 2;
    }
    RECT to { x, y, x + width, y + height };
    if (auto* b = objectas<Brush>(background, OBJ_BRUSH)) {
        dc->fillrect(to, *b);
    }
    return dc->drawicon(to, *i, flags ? flags : DI_NORMAL) ? TRUE : FALSE;
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom)
{
    if (!rect) {
        return FALSE;
    }
    *rect = RECT { left, top, right, bottom };
    return TRUE;
}

BOOL SetRectEmpty(RECT* rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL IsRectEmpty(const RECT* rect)
{
    return !rect || isempty(*rect) ? TRUE : FALSE;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, tagPOINT point)
{
    return rect && contains(*rect, point) ? TRUE : FALSE;
}

BOOL OffsetRect(RECT* rect, int dx, int dy)
{
    if (!rect) {
        return FALSE;
    }
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}
