// The module window's procedure: standard messages become calls of its virtual operations, and
// the framework's messages carry commands, keys, hints, tips and help on to the owning module.

#include <cstring>

#include "framework/appln/applnframe.h"
#include "framework/appln/applnmenu.h"
#include "framework/appln/applnmodule.h"
#include "framework/appln/helprequest.h"
#include "framework/appln/inputhandler.h"
#include "framework/bars/barmessages.h"
#include "framework/bars/statusbar.h"
#include "framework/context/windowmessages.h"
#include "framework/menus/menu.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/rc/keycodes.h"
#include "platform/win/window.h"

namespace {

bool isfunctionkeycode(unsigned long key)
{
    return (key & 0x1FF) >= VK_F1 && (key & 0x1FF) <= VK_F12;
}

bool isheld(int virtualkey)
{
    return GetKeyState(virtualkey) & 0x8000;
}

} // namespace

LRESULT APPLNWINDOW::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (!frame || !IsIconic(frame->hwnd))
            onresize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            if (applncontext)
                applncontext->window = window;
            if (IsWindow(savedfocus))
                SetFocus(savedfocus);
            onactivate();
            if (owner)
                owner->onactivate(this);
            interruptinput();
        } else if (HWND focus = GetFocus(); focus == window || IsChild(window, focus)) {
            savedfocus = focus;
        }
        onactivate(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc)
            onrepaint(dc, paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        interruptinput();
        onclose();
        return 0;
    case WM_ERASEBKGND: {
        RECT client {};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, dlg_bkbrush);
        return 1;
    }
    case WM_DRAWITEM:
        if (auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            draw && draw->CtlType == ODT_MENU && activepopup) {
            MENU::draw_item(activepopup, draw);
            return TRUE;
        }
        break;
    case WM_MEASUREITEM:
        if (auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measure && measure->CtlType == ODT_MENU && activepopup) {
            MENU::measure_item(activepopup, measure);
            return TRUE;
        }
        break;
    case WM_COPYDATA:
        return oncopydata(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_HELP:
        onhelp(reinterpret_cast<HELPINFO*>(lParam));
        return 1;
    case WM_CONTEXTMENU:
        oncontextmenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_COMMAND:
        if (menubar)
            menubar->select(LOWORD(wParam));
        oncommand(LOWORD(wParam));
        interruptinput();
        return 0;
    case WM_INITMENU:
        oninitmenu();
        return 0;
    case WM_INITMENUPOPUP:
        activepopup = reinterpret_cast<HMENU>(wParam);
        oninitmenupopup(LOWORD(lParam), activepopup);
        return 0;
    case WM_ENTERMENULOOP:
        savedcursor = SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        break;
    case WM_EXITMENULOOP:
        SetCursor(savedcursor);
        break;
    case WM_COMMANDHINT:
        oncommandhint(lParam);
        return 0;
    case WM_COMMANDTIP:
        oncommandtip(reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    case WM_KEYQUERY:
        return onkeyquery(static_cast<unsigned long>(wParam), reinterpret_cast<MSG*>(lParam));
    case WM_HELPREQUEST:
        onhelprequest(static_cast<unsigned long>(wParam), reinterpret_cast<HELPINFO*>(lParam));
        return 1;
    case WM_GETAPPLNCONTEXT:
        return reinterpret_cast<LRESULT>(applncontext);
    case WM_GETWINDOWFONT:
        return reinterpret_cast<LRESULT>(font);
    case WM_GETDIALOGHANDLE:
        return reinterpret_cast<LRESULT>(dialog);
    case WM_EXCHANGEDIALOGHANDLE: {
        HWND old = dialog;
        dialog = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_STATUSTEXT:
        if (statusbar)
            statusbar->message('S', reinterpret_cast<const char*>(lParam), 0, 0, 0, STATUSBAR_KEEPCOLOUR, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT APPLNWINDOW::onkeyquery(unsigned long key, MSG* message)
{
    if (!isfunctionkeycode(key)) {
        HWND focus = GetFocus();
        const LRESULT wants
            = focus ? SendMessageA(focus, WM_GETDLGCODE, key & 0xFF, reinterpret_cast<LPARAM>(message)) : 0;
        const unsigned long code = key & 0x1FF;
        if (wants & DLGC_WANTALLKEYS)
            return 0;
        if ((wants & DLGC_WANTCHARS) && code >= 'A' && code <= 'Z' && !(key & 0x66000))
            return 0;
        if ((wants & DLGC_WANTARROWS) && code >= 0x125 && code <= 0x128)
            return 0;
    }
    return onwantkey(key, message) ? 4 : 0;
}

void APPLNWINDOW::oncommandhint(LPARAM lParam)
{
    if (!statusbar)
        return;
    const unsigned short id = LOWORD(lParam);
    const unsigned short given = HIWORD(lParam);
    // Context 0 stands for the window's own, which is what help for the hint looks up later.
    lasthintcontext = given ? given : cmdctx;
    lasthintcommand = id;
    if (!id) {
        clearhint();
        return;
    }
    const char* text = nullptr;
    if (CMDINFOTABLE* table = getcmdinfotable()) {
        text = table->gethinttext(lasthintcontext, id);
        if (!text && !given)
            text = table->gethinttext(CMDCTX_GLOBAL, id);
    }
    statusbar->sethint(text);
}

void APPLNWINDOW::oncommandtip(HWND control, LPARAM lParam)
{
    const unsigned short id = LOWORD(lParam);
    const unsigned short given = HIWORD(lParam);
    if (!id)
        settooltip(control, nullptr);
    else
        settooltip(control, given ? given : cmdctx, id);
}

void APPLNWINDOW::onhelp(HELPINFO* help)
{
    if (isheld(VK_CONTROL) || isheld(VK_MENU) || isheld(VK_SHIFT) || isheld(VK_LWIN) || isheld(VK_RWIN))
        return;
    KEYTRANSLATOR* keys = getkeytranslator();
    if (keys && keys->getcommand(cmdctx, VK_F1, 0))
        return;
    CMDINFOTABLE* table = getcmdinfotable();
    if (help)
        help->dwContextId = table ? table->gethelpid(lasthintcontext, lasthintcommand) : 0;
    SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
    SendMessageA(hwnd, WM_HELPREQUEST, 0, reinterpret_cast<LPARAM>(help));
}

void APPLNWINDOW::onhelprequest(unsigned long id, HELPINFO* help)
{
    if (!owner)
        return;
    const HELPSHOW show = readhelprequest(id, help);
    if (show == HELPSHOW::OWN)
        owner->launchhelp(id, nullptr, nullptr);
    else if (show == HELPSHOW::POPUP)
        owner->launchhelp(id, "Popup", GetActiveWindow());
}

LRESULT APPLNWINDOW::oncopydata(const COPYDATASTRUCT* data)
{
    // Only a status text may arrive this way, and only one that ends inside its payload: any
    // other id would let the sender pass a pointer the handler trusts.
    if (!data || data->dwData != WM_STATUSTEXT || !data->lpData || !data->cbData
        || !std::memchr(data->lpData, 0, data->cbData))
        return 0;
    return SendMessageA(hwnd, WM_STATUSTEXT, data->cbData, reinterpret_cast<LPARAM>(data->lpData));
}

void APPLNWINDOW::interruptinput()
{
    if (owner)
        owner->getinputhandler().interrupt();
}
