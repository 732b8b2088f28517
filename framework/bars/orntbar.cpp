#include "framework/bars/orntbar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "framework/bars/barmessages.h"
#include "framework/context/applncontext.h"
#include "framework/context/stringtranslator.h"
#include "platform/drelm/dialoglook.h"
#include "platform/drelm/form.h"
#include "platform/drelm/fptedit.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

constexpr int angleboxid = 1;
constexpr WORD anglehint = 0x118;
constexpr unsigned angleseparator = 0x11E;
constexpr unsigned gapseparator = 0x11F;
constexpr unsigned firstcommand = 0x110;
constexpr unsigned mirrorx = 0x116;
constexpr unsigned mirrory = 0x117;
constexpr WORD returnkey = 13;

// The degree sign after the angle: the translator's, in the local 8-bit encoding.
const char* anglesuffix()
{
    STRINGTRANSLATOR* translator = getapplnstringtranslator();
    return translator ? translator->degreesign() : "\xC2\xB0";
}

} // namespace

ORNTBAR::ORNTBAR(BASEHWND* parent, unsigned id, int rightangles)
    : TOOLBAR(parent, id, "Orientation", "tb_ornts", 1)
    , anglebox(new FPTEDIT(hwnd, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, angleboxid, 'A'))
    , rightanglesonly(rightangles)
{
    char sample[32];
    std::snprintf(sample, sizeof sample, "180%s", anglesuffix());
    if (HDC dc = GetDC(hwnd)) {
        HGDIOBJ old = SelectObject(dc, dlg_globalfont);
        GetTextExtentPoint32A(dc, sample, static_cast<int>(std::strlen(sample)), &angletext);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
    }
    anglebox->setfont(dlg_globalfont);
    const TBBUTTON buttons[] = {
        { 5, 0x115, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
        { 4, 0x114, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 },
        { 0, static_cast<int>(angleseparator), TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0 },
        { 0, static_cast<int>(gapseparator), TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0 },
        { 12, static_cast<int>(mirrorx), TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0 },
        { 13, static_cast<int>(mirrory), TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0 },
    };
    addbuttons(buttons, 6);
    setcmdctx(0x120);
    setornt(ZEROCTS);
    repaint();
}

ORNTBAR::~ORNTBAR()
{
    delete anglebox;
}

int ORNTBAR::getbitmap(unsigned id)
{
    const int tagged = tag > 0;
    if (id >= firstcommand && id <= 0x115)
        return rotationbase + static_cast<int>(id - firstcommand) + 6 * tagged;
    if (id == mirrorx)
        return mirrorbase + ((mirror & 1) ? 2 : 0) + 4 * tagged;
    if (id == mirrory)
        return mirrorbase + 1 + ((mirror & 2) ? 2 : 0) + 4 * tagged;
    return -1;
}

void ORNTBAR::setornt(const CTS& orientation)
{
    const int turned = orientation.angle;
    const bool right = turned % 900 == 0;
    const int quadrant = right ? (turned + (turned < 0 ? 3600 : 0)) / 900 : -1;
    if (right || !rightanglesonly)
        angle = static_cast<short>(turned);
    for (int i = 0; i < 4; ++i)
        checkbutton(firstcommand + static_cast<unsigned>(i), i == quadrant);
    char text[32];
    std::snprintf(text, sizeof text, "%g%s", angle / 10.0, anglesuffix());
    anglebox->settext(text);
    setmir(orientation.mirror_word);
}

void ORNTBAR::setmir(short newmirror)
{
    const int flipped = newmirror ^ mirror;
    if (flipped & 1)
        checkbutton(mirrorx, newmirror & 1);
    if (flipped & 2)
        checkbutton(mirrory, newmirror & 2);
    mirror = newmirror;
}

void ORNTBAR::settag(int newtag)
{
    tag = newtag;
    repaint();
}

CTS ORNTBAR::cts() const
{
    return CTS(POINT { 0, 0 }, angle, mirror);
}

int ORNTBAR::hasfocus() const
{
    return anglebox->hasfocus();
}

void ORNTBAR::command(unsigned id, short& newangle, short& newmirror) const
{
    switch (id) {
    case 0x110:
        newangle = 0;
        return;
    case 0x111:
        newangle = 900;
        return;
    case 0x112:
        newangle = 1800;
        return;
    case 0x113:
        newangle = -900;
        return;
    case 0x114: // the remainder keeps the sign of the angle
        newangle = static_cast<short>((angle + 900) % 3600);
        return;
    case 0x115:
        newangle = static_cast<short>((angle - 900) % 3600);
        return;
    case mirrorx:
        newmirror = static_cast<short>(mirror ^ 1);
        newangle = static_cast<short>(-angle);
        return;
    case mirrory:
        newmirror = static_cast<short>(mirror ^ 2);
        newangle = static_cast<short>(-angle);
        return;
    default:
        return;
    }
}

// An angle whose tenths do not fit the stored angle is as invalid as no number.
bool ORNTBAR::readangle(short& value) const
{
    int valid = 0;
    const double degrees = anglebox->getreal(&valid);
    const double tenths = std::trunc(degrees * 10);
    if (!valid || !std::isfinite(tenths) || std::fabs(tenths) > std::numeric_limits<short>::max()) {
        error("Invalid Angle");
        return false;
    }
    value = static_cast<short>(tenths);
    return true;
}

void ORNTBAR::changed(short newangle, short newmirror, LPARAM lParam)
{
    if (newangle == angle && newmirror == mirror)
        return;
    setornt(CTS(POINT { 0, 0 }, newangle, newmirror));
    lastcommand = ORNTBAR_CHANGED;
    SendMessageA(parentwindow, WM_COMMAND, ORNTBAR_CHANGED, lParam);
}

BOX ORNTBAR::resize()
{
    TOOLBAR::resize();
    const bool vertical = isvertical();
    TBBUTTONINFOA width {};
    width.cbSize = sizeof width;
    width.dwMask = TBIF_SIZE;
    width.cx = static_cast<WORD>(vertical ? std::max(20, static_cast<int>(angletext.cy) + 6)
                                          : std::max(28, static_cast<int>(angletext.cx) + 8));
    SendMessageA(toolbar, TB_SETBUTTONINFOA, angleseparator, reinterpret_cast<LPARAM>(&width));
    width.cx = 6;
    SendMessageA(toolbar, TB_SETBUTTONINFOA, gapseparator, reinterpret_cast<LPARAM>(&width));
    RECT slot {};
    SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(angleslot), reinterpret_cast<LPARAM>(&slot));
    const int height = angletext.cy + 2;
    if (vertical)
        SetWindowPos(anglebox->gethwnd(), HWND_TOP, slot.left + 1, slot.top + 2, slot.right - slot.left - 4,
            height, SWP_NOACTIVATE);
    else
        SetWindowPos(anglebox->gethwnd(), HWND_TOP, slot.left + 3, slot.top + 3, slot.right - slot.left - 5,
            height, SWP_NOACTIVATE);
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    for (unsigned id = firstcommand; id <= mirrory; ++id)
        setbitmap(id, I_IMAGECALLBACK);
    return TOOLBAR::resize();
}

LRESULT ORNTBAR::notify(NMHDR* header, WPARAM wParam, LPARAM lParam)
{
    if (header->code == TBN_GETDISPINFOA) {
        auto* request = reinterpret_cast<NMTBDISPINFOA*>(header);
        if (request->dwMask & TBNF_IMAGE)
            request->iImage = getbitmap(static_cast<unsigned>(request->idCommand));
        return 0;
    }
    auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
    if (header->code != NM_CUSTOMDRAW || draw->dwDrawStage != CDDS_POSTPAINT)
        return TOOLBAR::msghlr(hwnd, WM_NOTIFY, wParam, lParam);
    // A black line just outside the angle box's top and left edges.
    RECT box {};
    GetWindowRect(anglebox->gethwnd(), &box);
    MapWindowPoints(nullptr, toolbar, reinterpret_cast<tagPOINT*>(&box), 2);
    HGDIOBJ old = SelectObject(draw->hdc, GetStockObject(BLACK_PEN));
    MoveToEx(draw->hdc, box.left - 1, box.bottom, nullptr);
    LineTo(draw->hdc, box.left - 1, box.top - 1);
    LineTo(draw->hdc, box.right, box.top - 1);
    SelectObject(draw->hdc, old);
    TOOLBAR::msghlr(hwnd, WM_NOTIFY, wParam, lParam);
    return CDRF_SKIPDEFAULT;
}

LRESULT ORNTBAR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        short newangle = angle;
        short newmirror = mirror;
        if (id >= firstcommand && id <= mirrory) {
            command(id, newangle, newmirror);
        } else if (id == angleboxid && HIWORD(wParam) == EN_SETFOCUS) {
            anglebox->selectall();
        } else if (id == angleboxid && HIWORD(wParam) == EN_KILLFOCUS) {
            readangle(newangle);
        } else {
            lastcommand = id;
            return 0;
        }
        changed(newangle, newmirror, lParam);
        return 0;
    }
    case WM_NOTIFY:
        if (auto* header = reinterpret_cast<NMHDR*>(lParam); header && header->hwndFrom == toolbar)
            return notify(header, wParam, lParam);
        break;
    case WM_COMMANDHINT:
        if (LOWORD(lParam) == angleboxid) {
            SendMessageA(parentwindow, WM_COMMANDHINT, reinterpret_cast<WPARAM>(anglebox->gethwnd()),
                MAKELPARAM(anglehint, getcmdctx()));
            return 0;
        }
        break;
    case DLGM_KEY:
        if (LOWORD(wParam) == angleboxid && HIWORD(wParam) == returnkey) {
            short value = 0;
            if (readangle(value)) {
                CTS typed(POINT { 0, 0 }, value, mirror);
                typed.normalize();
                setornt(typed);
                lastcommand = ORNTBAR_CHANGED;
                SendMessageA(parentwindow, WM_COMMAND, ORNTBAR_CHANGED, 0);
                SetFocus(parentwindow);
            }
            return 1;
        }
        break;
    case DLGM_RESET:
        if (LOWORD(wParam) == angleboxid) {
            SetFocus(parentwindow);
            setornt(ZEROCTS);
            lastcommand = ORNTBAR_CHANGED;
            return 0;
        }
        break;
    default:
        break;
    }
    return TOOLBAR::msghlr(window, message, wParam, lParam);
}
