// The frame's procedure: what reaches the frame goes to its active window, its menus, its tabs or
// the process; commands are deferred (posted to the frame) so that a menu has closed first.

#include "framework/appln/applnframe.h"
#include "framework/appln/applnmenu.h"
#include "framework/appln/applnprocess.h"
#include "framework/appln/helprequest.h"
#include "framework/appln/inputhandler.h"
#include "framework/bars/barmessages.h"
#include "framework/bars/ctrlbar.h"
#include "framework/bars/rebar.h"
#include "framework/context/windowmessages.h"
#include "framework/menus/menu.h"
#include "framework/tabs/tabstrip.h"
#include "platform/drelm/dialoglook.h"
#include "platform/tirsk/windowstate.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/rc/keycodes.h"
#include "platform/win/window.h"

namespace {

constexpr unsigned long CTRLTAB = KEY_CTRL | VK_TAB;
constexpr int minimumwidth = 640;
constexpr int minimumheight = 600;

} // namespace

LRESULT APPLNFRAME::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        return onactivatemessage(wParam, lParam);
    case WM_ENABLE:
        if (process)
            for (int i = 0; i < process->numframes(); ++i)
                if (APPLNFRAME* other = process->getframe(i); other != this && other->hwnd)
                    EnableWindow(other->hwnd, static_cast<BOOL>(wParam));
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client {};
        GetClientRect(window, &client);
        if (dc)
            GradientFillRect(dc, &client, 4, 0, 1);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        if (!windows.count)
            close(1);
        else if (process)
            process->requestclose(this);
        return 0;
    case WM_QUIT:
        if (process)
            process->quit(1);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSCOLORCHANGE:
        dlg_getcolours();
        break;
    case WM_SETCURSOR:
        return onsetcursor(wParam, lParam);
    case WM_GETMINMAXINFO:
        if (auto* limits = reinterpret_cast<MINMAXINFO*>(lParam))
            limits->ptMinTrackSize = { minimumwidth, minimumheight };
        return 0;
    case WM_DRAWITEM:
        if (auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam); draw && draw->CtlType == ODT_MENU) {
            if (activemenu)
                activemenu->draw_menu_item(activepopup, draw);
            else
                MENU::draw_item(activepopup, draw);
            return TRUE;
        }
        break;
    case WM_MEASUREITEM:
        if (auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measure && measure->CtlType == ODT_MENU) {
            if (activemenu)
                activemenu->measure_menu_item(measure);
            else
                MENU::measure_item(activepopup, measure);
            return TRUE;
        }
        break;
    case WM_WINDOWPOSCHANGED:
        onwindowposchanged(reinterpret_cast<const WINDOWPOS*>(lParam));
        return 0;
    case WM_NOTIFY:
        if (auto* header = reinterpret_cast<const NMHDR*>(lParam); header && header->idFrom == REBARID)
            if (LRESULT handled = onnotify(header); handled >= 0)
                return handled;
        break;
    case WM_COMMAND: {
        const WORD high = HIWORD(wParam);
        PostMessageA(
            window, WM_FRAMECOMMAND, high == 0 || high == 1 ? LOWORD(wParam) : high, high == 0 ? 1 : 0);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE && inmenuloop)
            EndMenu();
        break;
    case WM_TIMER:
        if (wParam == FRAMETIMER_WORKSPACE) {
            if (process)
                process->setclosepending(0);
            KillTimer(window, FRAMETIMER_WORKSPACE);
        }
        break;
    case WM_INITMENU:
        if (active) {
            MODULESCOPE scope(active->getparentmodule());
            active->oninitmenu();
        } else if (process) {
            process->oninitmenu();
        }
        return 0;
    case WM_INITMENUPOPUP:
        activepopup = reinterpret_cast<HMENU>(wParam);
        if (active)
            active->oninitmenupopup(LOWORD(lParam), activepopup);
        else if (process)
            process->oninitmenupopup(LOWORD(lParam), activepopup);
        return 0;
    case WM_MENUSELECT:
        if (!(HIWORD(wParam) & MF_POPUP))
            SendMessageA(
                window, WM_COMMANDHINT, reinterpret_cast<WPARAM>(window), MAKELPARAM(LOWORD(wParam), 0));
        return 0;
    case WM_ENTERMENULOOP:
        if (active)
            SendMessageA(active->hwnd, message, wParam, lParam);
        inmenuloop = 1;
        return 0;
    case WM_EXITMENULOOP:
        if (active) {
            SendMessageA(active->hwnd, message, wParam, lParam);
            SendMessageA(
                active->hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(window));
        }
        inmenuloop = 0;
        activepopup = nullptr;
        return 0;
    case WM_ENTERSIZEMOVE:
        framesaway.count = 0;
        if (process) {
            tagPOINT pointer {};
            GetCursorPos(&pointer);
            for (int i = 0; i < process->numframes(); ++i) {
                APPLNFRAME* other = process->getframe(i);
                RECT area {};
                if (other != this && GetWindowRect(other->hwnd, &area) && !PtInRect(&area, pointer))
                    framesaway.add(other);
            }
        }
        break;
    case WM_EXITSIZEMOVE:
        onexitsizemove();
        break;
    case WM_COMMANDHINT:
    case WM_COMMANDTIP:
        return active ? SendMessageA(active->hwnd, message, wParam, lParam) : 0;
    case WM_KEYQUERY:
        return onkeyquery(static_cast<unsigned long>(wParam), reinterpret_cast<MSG*>(lParam));
    case WM_HELPREQUEST:
        onhelprequest(static_cast<unsigned long>(wParam), reinterpret_cast<HELPINFO*>(lParam));
        return 1;
    case WM_FRAMELAYOUT:
        if (!restoring)
            onresize();
        break;
    case WM_GETAPPLNCONTEXT:
        return active ? SendMessageA(active->hwnd, message, wParam, lParam)
                      : reinterpret_cast<LRESULT>(process ? process->getapplncontext() : nullptr);
    case WM_SELECTWINDOW:
        selectfromtab(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_CLOSETAB:
        closefromtab(reinterpret_cast<HWND>(wParam), LOWORD(lParam));
        return 0;
    case WM_MOVEWINDOWTOFRAME:
        movewindow(static_cast<int>(wParam), { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
        return 0;
    case WM_GETDIALOGHANDLE:
        return active ? SendMessageA(active->hwnd, message, wParam, lParam)
                      : reinterpret_cast<LRESULT>(dialog);
    case WM_EXCHANGEDIALOGHANDLE: {
        if (active)
            return SendMessageA(active->hwnd, message, wParam, lParam);
        HWND old = dialog;
        dialog = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_FRAMECOMMAND:
        return onframecommand(static_cast<unsigned short>(wParam), static_cast<int>(lParam));
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT APPLNFRAME::onactivatemessage(WPARAM wParam, LPARAM lParam)
{
    const bool activating = LOWORD(wParam) != WA_INACTIVE;
    if (activating) {
        if (HWND dialogwindow = getdialogwinhdl(); dialogwindow && dialogwindow != hwnd) {
            MessageBeep(0);
            SetActiveWindow(dialogwindow);
            return 0;
        }
    }
    if (active) {
        HWND other = reinterpret_cast<HWND>(lParam);
        const bool ownpopup
            = other && (GetWindowLongA(other, GWL_STYLE) & WS_POPUP) && GetParent(other) == hwnd;
        if (!(ownpopup && !active->getqtwidget()))
            SendMessageA(active->hwnd, WM_ACTIVATE, wParam, lParam);
    }
    if (activating && process)
        process->getapplncontext()->window = hwnd;
    return 0;
}

LRESULT APPLNFRAME::onsetcursor(WPARAM wParam, LPARAM lParam)
{
    if (active)
        active->onframesetcursor(reinterpret_cast<HWND>(wParam));
    HWND dialogwindow = getdialogwinhdl();
    const WORD mouse = HIWORD(lParam);
    if (!dialogwindow || IsWindowEnabled(hwnd) || (mouse != WM_LBUTTONDOWN && mouse != WM_RBUTTONDOWN))
        return mouse ? DefWindowProcA(hwnd, WM_SETCURSOR, wParam, lParam) : 0;
    const bool popupofaframe = [&] {
        HWND activewindow = GetActiveWindow();
        for (int i = 0; process && activewindow && i < process->numframes(); ++i)
            if (GetLastActivePopup(process->getframe(i)->hwnd) == activewindow)
                return true;
        return false;
    }();
    if (popupofaframe && static_cast<short>(LOWORD(lParam)) == HTERROR) {
        MessageBeep(0);
        return 0;
    }
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetActiveWindow(GetLastActivePopup(hwnd));
    return 0;
}

LRESULT APPLNFRAME::onnotify(const NMHDR* header)
{
    if (header->code == RBN_BEGINDRAG) {
        const auto* band = reinterpret_cast<const NMREBAR*>(header);
        if (auto* bar = reinterpret_cast<CTRLBAR*>(band->lParam)) {
            bar->begindrag();
            return 0;
        }
        return -1;
    }
    if (header->code == RBN_HEIGHTCHANGE && rebars[0] && rebars[1] && rebars[2] && rebars[3]) {
        for (REBAR* rebar : rebars)
            rebar->invalidate(nullptr, 1);
        SendMessageA(hwnd, WM_FRAMELAYOUT, 1, 0);
        return 0;
    }
    return -1;
}

LRESULT APPLNFRAME::onkeyquery(unsigned long key, MSG* message)
{
    if (!IsWindowEnabled(hwnd))
        return 0;
    if (active) {
        if (key == CTRLTAB) {
            if (APPLNWINDOW* next = getnexttabwindow())
                PostMessageA(hwnd, WM_SELECTWINDOW, reinterpret_cast<WPARAM>(hwnd),
                    MAKELPARAM(windows.find(next), 0xFFFF));
            return 4;
        }
        return SendMessageA(active->hwnd, WM_KEYQUERY, key, reinterpret_cast<LPARAM>(message));
    }
    return keytranslator && keytranslator->translate_and_dispatch(hwnd, CMDCTX_GLOBAL, key, message) ? 4 : 0;
}

void APPLNFRAME::onhelprequest(unsigned long id, HELPINFO* help)
{
    if (!process)
        return;
    const HELPSHOW show = readhelprequest(id, help);
    const char* file = process->getmainhelpname();
    if (show == HELPSHOW::OWN)
        process->launchhelp(file, id, nullptr, nullptr);
    else if (show == HELPSHOW::POPUP)
        process->launchhelp(file, id, "Popup", active ? active->hwnd : nullptr);
}

LRESULT APPLNFRAME::onframecommand(unsigned short id, int frommenu)
{
    if (frommenu && active)
        active->onframesetcursor(hwnd);
    if (activemenu && activemenu->dispatch(id))
        return 1;
    CMDINFOTABLE* table = active ? active->getcmdinfotable() : cmdtable;
    const int dispatched = table && process ? table->dispatch(CMDCTX_GLOBAL, id, process) : 0;
    if (!dispatched && active)
        PostMessageA(active->hwnd, WM_COMMAND, id, reinterpret_cast<LPARAM>(hwnd));
    return dispatched;
}

void APPLNFRAME::selectfromtab(int index, int source)
{
    if (!windows.inbounds(index))
        return;
    APPLNWINDOW* window = windows[index];
    // A source that names no window is ignored, rather than moving a window that is not there.
    if (source != -1 && windows.inbounds(source)) {
        window = windows.remove(source);
        windows.add(window, index);
    }
    loadwindow(window);
}

void APPLNFRAME::closefromtab(HWND sender, int index)
{
    if (!windows.inbounds(index))
        return;
    if (tabstrip && sender == tabstrip->hwnd) {
        if (inmenuloop)
            EndMenu();
        if (windows.count < 2) {
            if (process)
                process->closeframe(this);
            return;
        }
        APPLNWINDOW* window = windows[index];
        MODULESCOPE scope(window->getparentmodule());
        if (window->queryclose())
            SendMessageA(window->hwnd, WM_CLOSE, 0, 0);
        return;
    }
    // A window asking to be deleted names itself by its handle; the index only has to be valid.
    for (APPLNWINDOW* window : windows) {
        if (sender && window->hwnd == sender) {
            delete window;
            return;
        }
    }
}
