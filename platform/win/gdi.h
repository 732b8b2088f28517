#pragma once

// Drawing: pens, brushes, fonts, bitmaps, regions and icons, and the calls that draw with them on
// a device context. Coordinates are device pixels. The objects are the layer's own records; the
// drawing itself is done by the device behind the context (devicecontext.h), which the backend
// supplies. Calls on a null or dead object or context fail (FALSE, null, CLR_INVALID).
// Callers: the desktop helpers (core), the process's help and splash windows (framework); the control bars,
// tab strip, status bar and owner-drawn menus (framework).

#include "platform/win/colour.h"
#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

struct LOGFONTA {
    LONG lfHeight; // below 0: character height in pixels; above 0: cell height
    LONG lfWidth;
    LONG lfEscapement; // tenths of a degree, anticlockwise
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[32];
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct LOGPEN {
    UINT lopnStyle;
    tagPOINT lopnWidth;
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // above 0: rows bottom-up; below 0: top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};

// Object types.
constexpr UINT OBJ_PEN = 1;
constexpr UINT OBJ_BRUSH = 2;
constexpr UINT OBJ_DC = 3;
constexpr UINT OBJ_FONT = 6;
constexpr UINT OBJ_BITMAP = 7;
constexpr UINT OBJ_REGION = 8;
constexpr UINT OBJ_MEMDC = 10;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Raster operations of blits.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;

constexpr int DRIVERVERSION = 0;
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int DT_PLOTTER = 0;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

constexpr UINT DI_MASK = 1;
constexpr UINT DI_IMAGE = 2;
constexpr UINT DI_NORMAL = 3;

HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
// A shared brush of a system colour; never to be deleted (DeleteObject ignores it).
HBRUSH GetSysColorBrush(int index);
HGDIOBJ GetStockObject(int index);
HFONT CreateFontIndirectA(const LOGFONTA* font);
// Callers to come: the caption font of the editor's toolbox (issue 58).
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeout, DWORD charset, DWORD outprecision, DWORD clipprecision, DWORD quality,
    DWORD pitchandfamily, LPCSTR face);
// A 32-bit bitmap, black.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A 32-bit bitmap whose pixels the caller may address through *bits (rows bottom-up when the
// header's height is positive, top-down when negative). Null for other depths or sizes.
HBITMAP CreateDIBSection(
    HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HRGN CreatePolygonRgn(const tagPOINT* points, int count, int fillmode);
// FALSE for a stock object, an object selected into a context, or a dead handle.
BOOL DeleteObject(HGDIOBJ object);
// Copies the object's description (BITMAP, LOGFONTA, LOGPEN, LOGBRUSH) into the buffer; answers
// the bytes copied, or the size needed when buffer is null; 0 on failure.
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);

// A memory context over a 1 x 1 black bitmap until another is selected.
HDC CreateCompatibleDC(HDC like);
BOOL DeleteDC(HDC dc);
// Puts a pen, brush, font or bitmap into the context and answers the one it replaces; a region
// becomes the clip region (answers the region type). Null on failure, and for a bitmap already
// selected into another context.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
// The clip region: a copy of `region` (null: none); answers the region type.
int SelectClipRgn(HDC dc, HRGN region);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int GetDeviceCaps(HDC dc, int index);

BOOL MoveToEx(HDC dc, int x, int y, tagPOINT* old);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const tagPOINT* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// A dotted rectangle drawn by inverting, so drawing it twice removes it. Callers to come: the
// selection rectangle of the editors' shape loops (issue 57).
BOOL DrawFocusRect(HDC dc, const RECT* rect);
// Answers the height of the text drawn; with DT_CALCRECT measures into rect and draws nothing.
int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sx, int sy, int swidth,
    int sheight, DWORD rop);
COLORREF GetPixel(HDC dc, int x, int y);
// Answers the colour set, CLR_INVALID outside the device.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetNearestColor(HDC dc, COLORREF colour);
// Copies rows of the bitmap, from `start` (counted from the bottom for bottom-up requests), into
// 32-bit bits; with null bits fills the header only. Answers the rows copied.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);

// Icons and cursors: GetIconInfo hands out copies of their bitmaps that the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);
// Draws the icon scaled to width x height (0: its own size).
BOOL DrawIconEx(
    HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH background, UINT flags);

// Rectangles.
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, tagPOINT point);
BOOL OffsetRect(RECT* rect, int dx, int dy);
