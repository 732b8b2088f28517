#include "platform/drelm/dialoglook.h"

#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

#include "platform/drelm/formregistry.h"
#include "platform/drelm/messageboxes.h"
#include "platform/tirsk/drawhelpers.h"
#include "platform/win/gdi.h"
#include "platform/win/messagebox.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/painterdc.h"
#include "platform/win/qt/winqt.h"

COLORREF dlg_bkcolour = 0;
HBRUSH dlg_bkbrush = nullptr;
COLORREF dlg_facecolour = 0;
COLORREF dlg_hihicolour = 0;
COLORREF dlg_locolour = 0;
HPEN dlg_hihilitepen = nullptr;
HPEN dlg_lolitepen = nullptr;
COLORREF grad_4colour = 0;
COLORREF gradb_1colour = 0;
COLORREF gradb_4colour = 0;
COLORREF gradd_4colour = 0;
COLORREF tb_checkedborder_colour = 0;
COLORREF tb_hotgrad1_colour = 0;
COLORREF tb_hotgrad2_colour = 0;
COLORREF tb_hotborder_colour = 0;
COLORREF tb_activegrad1_colour = 0;
COLORREF tb_activegrad2_colour = 0;
COLORREF tb_activeborder_colour = 0;
HFONT dlg_globalfont = nullptr;
HFONT dlg_buttonfont = nullptr;

namespace {

struct Ramp {
    COLORREF from;
    COLORREF to;
};

// The plain and highlighted ramps of the kinds 0, 3 and 4, derived with the named colours.
struct Gradients {
    Ramp face[2];
    Ramp greyed[2];
    Ramp background[2];
} gradients;

MESSAGEBOXHOOK windowlayerbox = nullptr;
bool routed = false;

template <typename Handle> void release(Handle& object)
{
    if (object)
        DeleteObject(object);
    object = nullptr;
}

HFONT copyfont(HFONT font)
{
    LOGFONTA description {};
    if (!font || !GetObjectA(font, sizeof description, &description))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    return CreateFontIndirectA(&description);
}

const Ramp* rampof(int kind, int a)
{
    const int variant = a ? 1 : 0;
    switch (kind) {
    case 0:
        return &gradients.face[variant];
    case 3:
        return &gradients.greyed[variant];
    case 4:
        return &gradients.background[variant];
    default:
        return nullptr;
    }
}

QColor qcolour(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

void dlg_getcolours()
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);

    dlg_bkcolour = face;
    dlg_facecolour = face;
    dlg_hihicolour = GetSysColor(COLOR_BTNHIGHLIGHT);
    dlg_locolour = shadow;
    release(dlg_bkbrush);
    release(dlg_hihilitepen);
    release(dlg_lolitepen);
    dlg_bkbrush = CreateSolidBrush(dlg_bkcolour);
    dlg_hihilitepen = CreatePen(PS_SOLID, 1, dlg_hihicolour);
    dlg_lolitepen = CreatePen(PS_SOLID, 1, dlg_locolour);

    grad_4colour = adjust_colour(face, -25);
    gradb_1colour = adjust_colour(face, 45);
    gradb_4colour = adjust_colour(face, -10);
    gradd_4colour = adjust_colour(face, -35);
    gradients.face[0] = { adjust_colour(face, 60), face };
    gradients.face[1] = { adjust_colour(highlight, 85), adjust_colour(highlight, 65) };
    gradients.greyed[0] = { adjust_colour(face, 40), adjust_colour(face, -8) };
    gradients.greyed[1] = { adjust_colour(shadow, 70), adjust_colour(shadow, 50) };
    gradients.background[0] = { gradb_1colour, gradb_4colour };
    gradients.background[1] = { adjust_colour(highlight, 90), adjust_colour(highlight, 75) };

    tb_checkedborder_colour = highlight;
    tb_hotgrad1_colour = adjust_colour(highlight, 88);
    tb_hotgrad2_colour = adjust_colour(highlight, 72);
    tb_hotborder_colour = adjust_colour(highlight, 40);
    tb_activegrad1_colour = adjust_colour(highlight, 70);
    tb_activegrad2_colour = adjust_colour(highlight, 50);
    tb_activeborder_colour = adjust_colour(highlight, -25);
}

void dlg_init(HFONT font, HINSTANCE library)
{
    drelm::registerformclasses();
    drelm::setformlibrary(library);
    dlg_getcolours();
    release(dlg_globalfont);
    release(dlg_buttonfont);
    dlg_globalfont = copyfont(font);
    dlg_buttonfont = copyfont(font);
    // The window layer's own box gives way; a box a caller installed (a test, a run without
    // alerts) stays.
    if (!routed) {
        MESSAGEBOXHOOK current = setmessageboxhook(drelm::messagebox);
        routed = current == &winqt::messagedialog;
        if (routed)
            windowlayerbox = current;
        else
            setmessageboxhook(current);
    }
}

void dlg_setlocale(ITRANSLATE* translator)
{
    drelm::setformtranslator(translator);
}

void dlg_term()
{
    drelm::closeallforms();
    drelm::unregisterformclasses();
    drelm::setformlibrary(nullptr);
    drelm::setformtranslator(nullptr);
    release(dlg_bkbrush);
    release(dlg_hihilitepen);
    release(dlg_lolitepen);
    release(dlg_globalfont);
    release(dlg_buttonfont);
    if (routed) {
        MESSAGEBOXHOOK current = setmessageboxhook(windowlayerbox);
        if (current != &drelm::messagebox)
            setmessageboxhook(current); // replaced since: left as it is
        windowlayerbox = nullptr;
        routed = false;
    }
}

BOOL GradientColours(int kind, int a, int b, COLORREF* from, COLORREF* to, BOOL* vertical)
{
    const Ramp* ramp = rampof(kind, a);
    if (!ramp)
        return FALSE;
    if (from)
        *from = b ? ramp->to : ramp->from;
    if (to)
        *to = b ? ramp->from : ramp->to;
    if (vertical)
        *vertical = kind != 4;
    return TRUE;
}

BOOL GradientFillRect(HDC dc, const RECT* rect, int kind, int a, int b)
{
    COLORREF from = 0, to = 0;
    BOOL vertical = FALSE;
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top
        || !GradientColours(kind, a, b, &from, &to, &vertical))
        return FALSE;
    auto* context = dynamic_cast<winqt::PainterDC*>(win::DeviceContext::of(dc));
    QPainter* painter = context ? context->toolkitpainter(*rect) : nullptr;
    if (!painter)
        return FALSE;
    // The end colours sit on the centres of the first and last pixel rows (or columns), so that
    // the edges show them exactly.
    QRectF area(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    QLinearGradient ramp = vertical ? QLinearGradient(0, area.top() + 0.5, 0, area.bottom() - 0.5)
                                    : QLinearGradient(area.left() + 0.5, 0, area.right() - 0.5, 0);
    ramp.setColorAt(0, qcolour(from));
    ramp.setColorAt(1, qcolour(to));
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->fillRect(area, ramp);
    painter->restore();
    return TRUE;
}

int GradientFillRect(char* buffer, int size, int kind, int a, int b)
{
    COLORREF from = 0, to = 0;
    BOOL vertical = FALSE;
    if (!buffer || size <= 0 || !GradientColours(kind, a, b, &from, &to, &vertical))
        return 0;
    int written = std::snprintf(buffer, static_cast<size_t>(size),
        "qlineargradient(x1:0, y1:0, x2:%d, y2:%d, stop:0 #%02x%02x%02x, stop:1 #%02x%02x%02x)",
        vertical ? 0 : 1, vertical ? 1 : 0, GetRValue(from), GetGValue(from), GetBValue(from), GetRValue(to),
        GetGValue(to), GetBValue(to));
    return written < size ? written : size - 1;
}

BOOL draw3Drect(HDC dc, const RECT* rect, char style)
{
    if (style != 'b' || !rect || rect->right - rect->left < 2 || rect->bottom - rect->top < 2)
        return FALSE;
    const int l = rect->left, t = rect->top, r = rect->right - 1, bottom = rect->bottom - 1;
    HGDIOBJ old = SelectObject(dc, dlg_lolitepen);
    MoveToEx(dc, l, bottom, nullptr);
    LineTo(dc, l, t);
    LineTo(dc, r, t);
    SelectObject(dc, dlg_hihilitepen);
    LineTo(dc, r, bottom);
    LineTo(dc, l - 1, bottom);
    SelectObject(dc, old);
    return TRUE;
}
