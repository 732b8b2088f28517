#include "framework/input/contextmenuloop.h"

#include <QAbstractEventDispatcher>

#include "framework/appln/applnframe.h"
#include "framework/appln/applnwindow.h"
#include "framework/bars/barmessages.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "framework/context/applncontext.h"
#include "framework/menus/menu.h"
#include "framework/views/applnviewdvc.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/menu.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

namespace {

constexpr UINT_PTR CLOSINGTIMER = 1;

} // namespace

CONTEXTMENULOOP::CONTEXTMENULOOP(APPLNVIEWHOST* viewhost, GSLIST<unsigned short>& keycontexts)
    : host(viewhost)
    , contexts(keycontexts)
{
}

unsigned short CONTEXTMENULOOP::run(APPLNVIEWDVC* target, HMENU menu)
{
    if (!target || !menu)
        return 0;
    tagPOINT at {};
    GetCursorPos(&at);
    TPMPARAMS exclusion { sizeof(TPMPARAMS), { at.x - 20, at.y - 20, at.x + 20, at.y + 20 } };
    MENUINFO info {};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE;
    GetMenuInfo(menu, &info);
    info.dwStyle |= MNS_MODELESS;
    SetMenuInfo(menu, &info);

    popup = menu;
    attach(target);
    ctxobject = host->getctxobj();
    int visible = target->showcursor(0);
    host->setmodal(1);
    APPLNWINDOW* window = host->getapplnwindow();
    APPLNFRAME* frame = window ? window->getparentframe() : nullptr;
    if (frame) {
        SetWindowPos(frame->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        frame->setactivepopup(menu);
    }
    HWND view = target->gethwnd();
    // Opened 10 pixels above the pointer, so that its first item lies under it.
    TrackPopupMenuEx(menu, TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y - 10, view, &exclusion);
    chosen = armed = 0;
    moved = closed = 0;
    ctxobject = host->getctxobj();
    while (!chosen && !closed) {
        if (!QAbstractEventDispatcher::instance() || !IsWindow(view))
            break;
        getmessage(1);
    }
    // The menu tells that it closed before the command of the item chosen arrives.
    if (!chosen && IsWindow(view))
        getmessage(0, WM_COMMAND, WM_COMMAND);

    if (frame) {
        frame->setactivepopup(nullptr);
        KillTimer(view, CLOSINGTIMER);
    }
    EndMenu();
    if (frame) {
        SetWindowPos(frame->hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (GetActiveWindow() == frame->hwnd) {
            SetWindowPos(frame->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetFocus(view);
        }
    }
    if (IsWindow(view)) {
        UpdateWindow(view);
        target->showcursor(visible);
    }
    host->setmodal(0);
    detach();
    return chosen;
}

long CONTEXTMENULOOP::hookhlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_LBUTTONUP || message == WM_RBUTTONUP) && armed)
        SendMessageA(window, WM_LBUTTONDBLCLK, wParam, lParam);
    return 1;
}

void CONTEXTMENULOOP::showhint(unsigned short item)
{
    unsigned short hinted = 0;
    if (CMDINFOTABLE* table = getapplncmdinfotable()) {
        for (unsigned short context : contexts)
            if (table->gethinttext(context, item)) {
                hinted = context;
                break;
            }
    }
    SendMessageA(getapplnwinhdl(), WM_COMMANDHINT, WPARAM(device->gethwnd()), (LPARAM(hinted) << 16) | item);
}

long CONTEXTMENULOOP::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITMENU:
    case WM_MOUSEACTIVATE:
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_INITMENUPOPUP:
        popup = HMENU(wParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MENUSELECT: {
        unsigned short item = LOWORD(wParam);
        unsigned short flags = HIWORD(wParam);
        if (flags == 0xFFFF && !lParam)
            SetTimer(window, CLOSINGTIMER, 100, nullptr);
        bool command = !(flags & MF_POPUP);
        if (command)
            showhint(item);
        armed = command && item == GetMenuItemID(HMENU(lParam), 0) ? item : 0;
        return 0;
    }
    case WM_TIMER:
    case WM_EXITMENULOOP:
    case WM_KILLFOCUS:
        closed = 1;
        return 0;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
            break;
        MENU::draw_item(popup, reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_MEASUREITEM:
        if (reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType != ODT_MENU)
            break;
        MENU::measure_item(popup, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    default:
        break;
    }
    return INPUTHANDLER::msghlr(window, message, wParam, lParam);
}

long CONTEXTMENULOOP::wantkey(unsigned long key, MSG* message)
{
    KEYTRANSLATOR* translator = getapplnkeytranslator();
    if (!translator || !device)
        return 1;
    for (unsigned short context : contexts)
        if (translator->translate_and_dispatch(device->gethwnd(), context, key, message)) {
            closed = 1;
            return 4;
        }
    return 1;
}

int CONTEXTMENULOOP::onpress(unsigned short command)
{
    if (host->getctxobj() == ctxobject)
        chosen = command;
    interrupt();
    closed = 1;
    return command != 0;
}

int CONTEXTMENULOOP::onlbuttondown()
{
    return onpress(lbuttoncmd);
}

int CONTEXTMENULOOP::onrbuttondown()
{
    return onpress(rbuttoncmd);
}

int CONTEXTMENULOOP::onkeydown(unsigned long key)
{
    if (key == VK_ESCAPE)
        closed = 1;
    return 1;
}

int CONTEXTMENULOOP::oncommand(unsigned short id)
{
    chosen = id;
    return 1;
}
