#include "platform/casq/sgdvc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "platform/casq/mapping.h"
#include "platform/casq/qtrenderer.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/qt/painterdc.h"
#include "platform/win/window.h"

namespace {

const char* const VIEWCLASS = "casq_view";
bool registered = false;
int liveviews = 0;

SGDVC* deviceof(HWND window)
{
    return reinterpret_cast<SGDVC*>(GetWindowLongPtrA(window, 0));
}

LRESULT viewprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* device = static_cast<SGDVC*>(create->lpCreateParams);
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(device));
        device->hwnd = window;
    }
    SGDVC* device = deviceof(window);
    if (!device) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return device->msghlr(window, message, wParam, lParam);
}

bool registerviewclass()
{
    if (registered) {
        return true;
    }
    WNDCLASSEXA c {};
    c.cbSize = sizeof c;
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = viewprocedure;
    c.cbWndExtra = sizeof(LONG_PTR);
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.lpszClassName = VIEWCLASS;
    registered = RegisterClassExA(&c) != 0;
    return registered;
}

RECT clientrect(HWND window)
{
    RECT client {};
    GetClientRect(window, &client);
    return client;
}

} // namespace

struct SGDVC::SESSION {
    HDC givendc = nullptr; // drawing on a window owned elsewhere: its context, when given
    HDC dc = nullptr; // the context of the session in progress
    bool released = false; // dc came from GetDC and goes back with ReleaseDC
    bool painting = false;
    bool lone = false; // opened by a lone drawing call; ends at the next turn of the event loop
    int animations = 0;
    QPainter* windowpainter = nullptr; // the window context's painter; not owned
    PAINTSTRUCT paint {}; // of the paint in progress
    RECT paintarea {};
    bool doublebuffer = false;
    QImage back;
    QPainter backpainter;
    casq::QTRENDERER renderer { nullptr, true, false };
    int repaintmode = 0;
    QElapsedTimer clock;
    long lastpaint = 0;
    std::shared_ptr<int> alive = std::make_shared<int>(0);
};

SGDVC::SGDVC(HWND parent, int id, const BOX& area, DWORD flags, long upi)
    : VGDVC(upi, 0, RGB(255, 255, 255), 0)
    , session(std::make_unique<SESSION>())
    , ownswindow(false)
{
    if (!registerviewclass()) {
        return;
    }
    ownswindow = true;
    ++liveviews;
    BOX placed = area;
    placed.normalize();
    CreateWindowExA(0, VIEWCLASS, "", WS_CHILD | WS_CLIPSIBLINGS | flags, placed.x1, placed.y1,
        int(std::min<int64_t>(placed.width() + 1, 1 << 20)),
        int(std::min<int64_t>(placed.height() + 1, 1 << 20)), parent, reinterpret_cast<HMENU>(intptr_t(id)),
        nullptr, this);
    remap();
}

SGDVC::SGDVC(HWND window, HDC dc, int, COLORREF colour, long upi)
    : VGDVC(upi, 0, colour, 0)
    , session(std::make_unique<SESSION>())
    , ownswindow(false)
{
    hwnd = window;
    session->givendc = dc;
    remap();
}

SGDVC::~SGDVC()
{
    closesession();
    if (ownswindow) {
        --liveviews;
        if (IsWindow(hwnd)) {
            SetWindowLongPtrA(hwnd, 0, 0);
            DestroyWindow(hwnd);
        }
    }
}

LRESULT SGDVC::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint {};
        beginpaint(&paint);
        endpaint(&paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        remap();
        invalidate(VOIDBOX, REPAINT_ALL);
        return 0;
    case WM_NCDESTROY:
        closesession();
        SetWindowLongPtrA(window, 0, 0);
        hwnd = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

SIZE SGDVC::clientsize() const
{
    RECT client = clientrect(hwnd);
    return SIZE { client.right - client.left, client.bottom - client.top };
}

casq::DPOINT SGDVC::pagesize() const
{
    SIZE size = clientsize();
    return casq::DPOINT { double(size.cx), double(size.cy) };
}

casq::DPOINT SGDVC::anchor() const
{
    SIZE size = clientsize();
    return casq::DPOINT { size.cx / 2.0, size.cy / 2.0 };
}

unsigned SGDVC::getcaps() const
{
    return VGDVC::getcaps() | DC_XOR;
}

bool SGDVC::opensession(HDC paintdc)
{
    SESSION& s = *session;
    if (s.dc) {
        return s.windowpainter != nullptr;
    }
    s.dc = paintdc ? paintdc : s.givendc;
    if (!s.dc) {
        s.dc = GetDC(hwnd);
        s.released = s.dc != nullptr;
    }
    auto* context = dynamic_cast<winqt::PainterDC*>(win::DeviceContext::of(s.dc));
    RECT client = clientrect(hwnd);
    s.windowpainter = context ? context->toolkitpainter(paintdc ? s.paintarea : client) : nullptr;
    if (!s.windowpainter) {
        return false;
    }
    // Exclusive-or drawing goes onto the window's overlay, never into the drawing beneath.
    RECT whole = client;
    s.renderer.setoverlay([context, whole] { return context->overlaypainter(whole); });
    if (s.painting && s.doublebuffer) {
        // Only the paint's area is drawn (its erase fills it) and shown at the end.
        QSize size = context->image().size();
        if (s.back.size() != size) {
            s.back = QImage(size, QImage::Format_RGB32);
        }
        s.backpainter.begin(&s.back);
        s.backpainter.setClipRect(QRect(s.paintarea.left, s.paintarea.top,
            s.paintarea.right - s.paintarea.left, s.paintarea.bottom - s.paintarea.top));
        s.renderer.setpainter(&s.backpainter);
    } else {
        s.renderer.setpainter(s.windowpainter);
    }
    return true;
}

void SGDVC::closesession()
{
    SESSION& s = *session;
    if (!s.dc) {
        return;
    }
    closepage();
    if (s.backpainter.isActive()) {
        s.backpainter.end();
        QRect area(s.paintarea.left, s.paintarea.top, s.paintarea.right - s.paintarea.left,
            s.paintarea.bottom - s.paintarea.top);
        s.windowpainter->setCompositionMode(QPainter::CompositionMode_Source);
        s.windowpainter->drawImage(area, s.back, area);
    }
    if (s.released) {
        ReleaseDC(hwnd, s.dc);
    }
    s.dc = nullptr;
    s.released = false;
    s.lone = false;
    s.windowpainter = nullptr;
}

casq::RENDERER* SGDVC::startpage(double width, double height)
{
    SESSION& s = *session;
    if (!s.dc) {
        // A lone drawing call: its session ends when control returns to the event loop.
        s.lone = true;
        std::weak_ptr<int> alive = s.alive;
        QTimer::singleShot(0, [this, alive] {
            if (!alive.expired() && session->lone) {
                closesession();
            }
        });
    }
    return opensession(nullptr) ? &s.renderer : nullptr;
}

void SGDVC::finishpage()
{
}

void SGDVC::enddrawing()
{
    if (!session->painting && !session->animations) {
        closesession();
    }
}

HDC SGDVC::getdc()
{
    return active() ? session->dc : nullptr;
}

void SGDVC::beginpaint(PAINTSTRUCT* paint)
{
    SESSION& s = *session;
    if (s.lone) {
        closesession();
    }
    s.clock.start();
    HDC dc = BeginPaint(hwnd, &s.paint);
    if (paint) {
        *paint = s.paint;
    }
    if (!dc) {
        return;
    }
    s.painting = true;
    s.paintarea = s.paint.rcPaint;
    opensession(dc);
    erase(VOIDBOX); // the whole page, clipped to the update area
}

void SGDVC::endpaint(PAINTSTRUCT*)
{
    SESSION& s = *session;
    if (!s.painting) {
        return;
    }
    closesession();
    s.painting = false;
    s.repaintmode = 0;
    EndPaint(hwnd, &s.paint);
    s.lastpaint = long(s.clock.elapsed());
}

int SGDVC::ispainting() const
{
    return session->painting ? 1 : 0;
}

void SGDVC::beginanimate()
{
    SESSION& s = *session;
    if (s.lone) {
        closesession();
    }
    if (s.animations++ == 0 && !s.painting) {
        opensession(nullptr);
    }
}

void SGDVC::endanimate()
{
    SESSION& s = *session;
    if (s.animations > 0 && --s.animations == 0 && !s.painting) {
        closesession();
    }
}

void SGDVC::invalidate(const BOX& area, int mode)
{
    SESSION& s = *session;
    s.repaintmode = std::max(s.repaintmode, std::clamp(mode, 1, REPAINT_ALL));
    if (area.isvoid()) {
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    tagPOINT a = world2client(POINT(area.x1, area.y1));
    tagPOINT b = world2client(POINT(area.x2, area.y2));
    // One pixel more on every side: lines on the area's edge reach past it.
    RECT rect { std::min(a.x, b.x) - 1, std::min(a.y, b.y) - 1, std::max(a.x, b.x) + 2,
        std::max(a.y, b.y) + 2 };
    InvalidateRect(hwnd, &rect, FALSE);
}

int SGDVC::getrepaintmode() const
{
    return session->repaintmode;
}

void SGDVC::scroll(int dx, int dy)
{
    const casq::MAPPING& map = mapping();
    casq::DPOINT from = map.map(map.getoriginx(), map.getoriginy());
    casq::DPOINT to = map.map(map.getoriginx() + dx, map.getoriginy() + dy);
    LONG kx = LONG(std::clamp(std::lround(to.x - from.x), -(1L << 30), 1L << 30));
    LONG ky = LONG(std::clamp(std::lround(to.y - from.y), -(1L << 30), 1L << 30));
    if (!kx && !ky) {
        return;
    }
    // The new origin lies exactly whole pixels away, so that old and new drawing meet.
    double x, y;
    map.unmap(casq::DPOINT { from.x + kx, from.y + ky }, x, y);
    SIZE size = clientsize();
    bool visible = std::abs(kx) < size.cx && std::abs(ky) < size.cy;
    if (visible) {
        closesession();
        HDC dc = GetDC(hwnd);
        if (auto* context = dynamic_cast<winqt::PainterDC*>(win::DeviceContext::of(dc))) {
            context->scroll(int(-kx), int(-ky));
        }
        ReleaseDC(hwnd, dc);
    }
    setorigin(x, y);
    if (!visible) {
        invalidate(VOIDBOX, REPAINT_ALL);
        return;
    }
    session->repaintmode = std::max(session->repaintmode, REPAINT_ALL);
    if (kx) {
        RECT side = kx > 0 ? RECT { size.cx - kx, 0, size.cx, size.cy } : RECT { 0, 0, -kx, size.cy };
        InvalidateRect(hwnd, &side, FALSE);
    }
    if (ky) {
        RECT strip = ky > 0 ? RECT { 0, size.cy - ky, size.cx, size.cy } : RECT { 0, 0, size.cx, -ky };
        InvalidateRect(hwnd, &strip, FALSE);
    }
}

void SGDVC::grid(int kind, POINT origin, int spacing, COLORREF colour)
{
    const casq::MAPPING& map = mapping();
    double pixels = spacing * std::min(map.getxscale(), map.getyscale());
    casq::RENDERER* renderer = spacing > 0 && pixels >= 3 ? active() : nullptr;
    if (!renderer) {
        return;
    }
    BOX visible = getclipbox();
    auto first = [&](int32_t low, int32_t at) {
        int64_t steps = (int64_t(low) - at) / spacing;
        return int64_t(at) + steps * spacing;
    };
    GSTYLE line(colour & DF_COLOURMASK, PENSTYLE_SOLID);
    if (kind != GRID_DOTS) {
        for (int64_t x = first(visible.x1, origin.x); x <= visible.x2; x += spacing) {
            drawline(POINT(int32_t(x), visible.y1), POINT(int32_t(x), visible.y2), line);
        }
        for (int64_t y = first(visible.y1, origin.y); y <= visible.y2; y += spacing) {
            drawline(POINT(visible.x1, int32_t(y)), POINT(visible.x2, int32_t(y)), line);
        }
        return;
    }
    // Dots are single pixels, filled straight into the session's painter.
    SESSION& s = *session;
    s.renderer.flush();
    QPainter* painter = s.backpainter.isActive() ? &s.backpainter : s.windowpainter;
    painter->save();
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QColor dot(GetRValue(colour), GetGValue(colour), GetBValue(colour), currentalpha());
    for (int64_t x = first(visible.x1, origin.x); x <= visible.x2; x += spacing) {
        for (int64_t y = first(visible.y1, origin.y); y <= visible.y2; y += spacing) {
            casq::DPOINT p = map.map(double(x), double(y));
            painter->fillRect(QRect(int(std::floor(p.x)), int(std::floor(p.y)), 1, 1), dot);
        }
    }
    painter->restore();
}

GSTYLE SGDVC::gethighlightstyle(COLORREF colour) const
{
    double perpixel = 1 / std::max(1e-9, mapping().getxscale());
    return GSTYLE(int(std::lround(2 * perpixel)), colour & DF_COLOURMASK, colour & DF_COLOURMASK);
}

long SGDVC::getlastpainttime() const
{
    return session->lastpaint;
}

void SGDVC::setgdidoublebuffer(int on)
{
    session->doublebuffer = on != 0;
}

int SGDVC::isgdidoublebuffer() const
{
    return session->doublebuffer;
}

tagPOINT SGDVC::world2client(POINT world) const
{
    casq::DPOINT p = mapping().map(world);
    auto held = [](double v) { return LONG(std::clamp(std::llround(v), -(1LL << 30), 1LL << 30)); };
    return tagPOINT { held(p.x), held(p.y) };
}

tagPOINT SGDVC::world2screen(POINT world) const
{
    tagPOINT p = world2client(world);
    ClientToScreen(hwnd, &p);
    return p;
}

POINT SGDVC::client2world(tagPOINT client) const
{
    double x, y;
    mapping().unmap(casq::DPOINT { double(client.x), double(client.y) }, x, y);
    return POINT(clampcoord(std::llround(x)), clampcoord(std::llround(y)));
}

POINT SGDVC::screen2world(tagPOINT screen) const
{
    ScreenToClient(hwnd, &screen);
    return client2world(screen);
}

BOX SGDVC::client2world(const RECT& client) const
{
    if (client.right <= client.left || client.bottom <= client.top) {
        return VOIDBOX;
    }
    return BOX(client2world(tagPOINT { client.left, client.top }),
        client2world(tagPOINT { client.right, client.bottom }));
}

BOX SGDVC::getvisiblearea() const
{
    return client2world(clientrect(hwnd));
}

int gdiplus_startup()
{
    return registerviewclass() && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

void gdiplus_shutdown()
{
    if (registered && liveviews == 0) {
        registered = !UnregisterClassA(VIEWCLASS, nullptr);
    }
}
