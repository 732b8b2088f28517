#pragma once

// The records behind drawing handles, and the device a context draws on. A device context keeps
// the state the drawing calls set (selected objects, colours, modes, clip); a device draws with it.
// The backend's devices paint with the toolkit; BitmapDC reads and writes pixels of a bitmap
// without one.
// Callers: the drawing calls (gdi.h) and the Qt backend's painter contexts.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/win/colour.h"
#include "platform/win/gdi.h"
#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

namespace win {

class GdiObject {
public:
    explicit GdiObject(UINT type)
        : type(type)
    {
    }
    virtual ~GdiObject() = default;
    const UINT type;
    bool stock = false;
};

struct Pen : GdiObject {
    Pen(int style, int width, COLORREF colour)
        : GdiObject(OBJ_PEN)
        , style(style)
        , width(width)
        , colour(colour)
    {
    }
    int style;
    int width;
    COLORREF colour;
};

// Pixels are 0xAARRGGBB words, so that in memory each is blue, green, red, alpha as in a 32-bit DIB.
struct Bitmap : GdiObject {
    Bitmap(int width, int height)
        : GdiObject(OBJ_BITMAP)
        , width(width)
        , height(height)
        , pixels(size_t(width) * height, 0xFF000000u)
    {
    }
    int width;
    int height;
    bool bottomup = false; // rows stored bottom row first (a DIB section with a positive height)
    bool monochrome = false; // made as a 1-bit bitmap: pixels are black or white
    bool alpha = false; // a DIB section: the fourth byte of each pixel is an alpha channel
    std::vector<uint32_t> pixels;
    class DeviceContext* selectedin = nullptr;

    // The pixel at (x, y) counted from the top, whatever the storage order.
    uint32_t& at(int x, int y) { return pixels[size_t(bottomup ? height - 1 - y : y) * width + x]; }
};

struct Brush : GdiObject {
    Brush(UINT style, COLORREF colour)
        : GdiObject(OBJ_BRUSH)
        , style(style)
        , colour(colour)
    {
    }
    UINT style;
    COLORREF colour;
};

struct Font : GdiObject {
    explicit Font(const LOGFONTA& logfont)
        : GdiObject(OBJ_FONT)
        , logfont(logfont)
    {
    }
    LOGFONTA logfont;
};

// Polygons filled by the fill rule; a rectangle region is one four-point polygon.
struct Region : GdiObject {
    Region()
        : GdiObject(OBJ_REGION)
    {
    }
    std::vector<std::vector<tagPOINT>> polygons;
    int fillmode = ALTERNATE;
    RECT bounds() const;
};

// An icon or cursor: a colour image with an AND mask (white = transparent where the colour image
// has no alpha), or a system cursor id.
struct Icon {
    std::shared_ptr<Bitmap> colour;
    std::shared_ptr<Bitmap> mask;
    bool isicon = true;
    tagPOINT hotspot { 0, 0 };
};

// The live object behind a handle, of the type asked for; null otherwise.
GdiObject* objectof(HGDIOBJ handle);
template <class T> T* objectas(HGDIOBJ handle, UINT type)
{
    GdiObject* object = objectof(handle);
    return object && object->type == type ? static_cast<T*>(object) : nullptr;
}
// Enters an object into the table of live objects and answers its handle.
HGDIOBJ adopt(GdiObject* object);
Icon* iconof(HICON handle);
HICON adopticon(Icon* icon);
// A system cursor's id (IDC_*), 0 for other cursors.
int systemcursorid(HCURSOR cursor);

class DeviceContext {
public:
    DeviceContext();
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    HDC handle();
    static DeviceContext* of(HDC dc); // null for a dead or null handle

    Pen* pen;
    Brush* brush;
    Font* font;
    Bitmap* bitmap = nullptr; // memory contexts: the selected bitmap
    bool memory = false;
    COLORREF textcolour = RGB(0, 0, 0);
    COLORREF bkcolour = RGB(255, 255, 255);
    int bkmode = OPAQUE;
    tagPOINT position { 0, 0 };
    std::vector<Region> clip; // all intersected; empty means none

    // Pen, brush, font, modes or clip changed.
    virtual void statechanged() { }
    // A memory context's bitmap was replaced.
    virtual void bitmapchanged() { }
    // The drawable size in pixels.
    virtual SIZE size() const;

    virtual void fillrect(const RECT& rect, const Brush& brush) { }
    virtual void polyline(const tagPOINT* points, int count) { }
    virtual void rectangle(const RECT& rect) { }
    virtual void focusrect(const RECT& rect) { }
    // Draws (or with DT_CALCRECT measures) as DrawTextA; answers the text height.
    virtual int drawtext(std::string_view text, RECT& rect, UINT format) { return 0; }
    virtual SIZE textextent(std::string_view text) { return SIZE { 0, 0 }; }
    virtual bool blit(const RECT& to, DeviceContext& source, const RECT& from, DWORD rop) { return false; }
    virtual bool drawicon(const RECT& to, const Icon& icon, UINT flags) { return false; }
    virtual COLORREF getpixel(int x, int y);
    virtual COLORREF setpixel(int x, int y, COLORREF colour);
    virtual int devicecaps(int index);
};

// A memory context without a toolkit: fills rectangles and reads and writes pixels of its bitmap.
class BitmapDC : public DeviceContext {
public:
    BitmapDC();
    void fillrect(const RECT& rect, const Brush& brush) override;
};

COLORREF colourofpixel(uint32_t pixel);
uint32_t pixelofcolour(COLORREF colour);

} // namespace win
