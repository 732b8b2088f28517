#include "framework/appln/applnframe.h"

#include "framework/appln/applnmenu.h"
#include "framework/appln/applnmodule.h"
#include "framework/appln/applnprocess.h"
#include "framework/bars/ctrlbar.h"
#include "framework/bars/rebar.h"
#include "framework/bars/toolbar.h"
#include "framework/context/windowmessages.h"
#include "framework/tabs/tabstrip.h"
#include "platform/drelm/form.h"
#include "platform/win/images.h"
#include "platform/win/menu.h"
#include "platform/win/messagequeue.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

namespace {

// The size the framework's tool records give, the record without its last pointer.
constexpr UINT toolrecordsize = 48;

} // namespace

APPLNFRAME::APPLNFRAME(APPLNPROCESS* owner, CMDINFOTABLE& table, KEYTRANSLATOR& keys)
    : process(owner)
    , cmdtable(&table)
    , keytranslator(&keys)
{
    context = owner ? owner->getapplncontext() : nullptr;
    tool.cbSize = toolrecordsize;
}

APPLNFRAME::APPLNFRAME(APPLNPROCESS* owner)
    : process(owner)
    , cmdtable(owner ? owner->getcmdinfotable() : nullptr)
    , keytranslator(owner ? owner->getkeytranslator() : nullptr)
{
    context = owner ? owner->getapplncontext() : nullptr;
    tool.cbSize = toolrecordsize;
}

APPLNFRAME::~APPLNFRAME()
{
    destroywindow();
}

HWND APPLNFRAME::createwindow(HMONITOR monitor)
{
    MODULESCOPE scope(process);
    const RECT area = getdefaultwindowarea(monitor, 0);
    activemenu = globalmenu;
    HWND window = CreateWindowExA(0, cls_dclk_noDC, process ? process->getapplntitle() : "",
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, area.left, area.top, area.right - area.left,
        area.bottom - area.top, nullptr, globalmenu ? globalmenu->gethandle() : nullptr, nullptr, nullptr);
    if (!window)
        return nullptr;
    bind(window);
    if (process)
        process->getapplncontext()->window = window;
    SendMessageA(window, WM_WINDOWBOUND, 0, 0);
    if (HANDLE icon = LoadImageA(getapplngraphicsinstance(), "APPICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)) {
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    const unsigned sides[4] = { CCS_TOP, CCS_BOTTOM, CCS_VERT | CCS_TOP, CCS_VERT | CCS_BOTTOM };
    for (int side = 0; side < 4; ++side)
        rebars[side] = new REBAR(this, REBARID, sides[side]);
    tabstrip = new TABSTRIP(window, TABSTRIPID);
    tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, window, nullptr, nullptr, nullptr);
    tool = {};
    tool.cbSize = toolrecordsize;
    onresize();
    return window;
}

void APPLNFRAME::destroywindow()
{
    hidestatusbox();
    if (hwnd)
        SetMenu(hwnd, nullptr);
    activemenu = nullptr;
    GDPA<APPLNWINDOW> all(windows);
    windows.count = 0;
    movingwindows.count = 0;
    active = previous = nullptr;
    for (APPLNWINDOW* window : all)
        window->destroywindow();
    if (process && hwnd && process->getapplncontext()->window == hwnd)
        process->getapplncontext()->window = nullptr;
    delete tabstrip;
    tabstrip = nullptr;
    for (REBAR*& rebar : rebars) {
        delete rebar;
        rebar = nullptr;
    }
    globaltoolbars.count = 0;
    if (tooltip)
        DestroyWindow(tooltip);
    tooltip = nullptr;
    if (!hwnd)
        return;
    HWND window = hwnd;
    unbind();
    DestroyWindow(window);
}

void APPLNFRAME::addwindow(APPLNWINDOW* window)
{
    if (!window || windows.find(window) >= 0)
        return;
    MODULESCOPE scope(window->getparentmodule());
    if (tabstrip)
        tabstrip->addtab(window, 1, -1);
    windows.add(window);
}

void APPLNFRAME::removewindow(APPLNWINDOW* window)
{
    const int index = windows.find(window);
    if (index < 0)
        return;
    movingwindows.remove(window);
    if (window == previous)
        previous = nullptr;
    if (window == active) {
        APPLNWINDOW* next = previous ? previous
            : windows.ptr(index + 1) ? windows.ptr(index + 1)
                                     : windows.ptr(index - 1);
        loadwindow(next);
        previous = nullptr;
    }
    if (tabstrip)
        tabstrip->removetab(index);
    windows.remove(index);
    if (windows.count) {
        if (tabstrip)
            tabstrip->select(active);
        return;
    }
    if (process && process->numframes() > 1) {
        savewindowplacement(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL));
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
}

void APPLNFRAME::loadwindow(APPLNWINDOW* window)
{
    if (window == active)
        return;
    MODULESCOPE scope(process);
    previous = active;
    if (previous && windows.find(previous) >= 0) {
        saverebars(previous);
        SendMessageA(previous->hwnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0),
            reinterpret_cast<LPARAM>(window ? window->hwnd : nullptr));
        SetWindowPos(previous->hwnd, nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (process && hwnd)
        process->getapplncontext()->window = hwnd;
    if (!window || windows.find(window) < 0) {
        active = nullptr;
        loadmodulemenu(nullptr);
        restorerebars(nullptr);
    } else {
        active = window;
        restorerebars(window);
        placeactivewindow(calcsizes());
        window->activate(previous);
        SendMessageA(window->hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0),
            reinterpret_cast<LPARAM>(previous ? previous->hwnd : nullptr));
    }
    if (tabstrip)
        tabstrip->select(active ? windows.find(active) : -1);
    updatecaption();
}

void APPLNFRAME::selectwindow(int n)
{
    APPLNWINDOW* window = windows.ptr(n);
    if (!window)
        return;
    // Selecting never reorders: the source half of the message says "select only".
    PostMessageA(hwnd, WM_SELECTWINDOW, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(n, 0xFFFF));
    if (APPLNMODULE* module = window->getparentmodule())
        module->pumpmessages(window, 0);
}

APPLNMODULE* APPLNFRAME::getactivemodule() const
{
    return active ? active->getparentmodule() : nullptr;
}

APPLNWINDOW* APPLNFRAME::getnexttabwindow() const
{
    if (!windows.count)
        return nullptr;
    const int index = windows.find(active);
    APPLNWINDOW* next = index < 0 ? windows[0] : windows[(index + 1) % windows.count];
    return next == active ? nullptr : next;
}

CTRLBAR* APPLNFRAME::getctrlbar(unsigned id)
{
    for (HWND parent : { hwnd, active ? active->hwnd : nullptr }) {
        HWND child = parent ? GetDlgItem(parent, static_cast<int>(id)) : nullptr;
        if (auto* bar = dynamic_cast<CTRLBAR*>(BASEWIN::fromhandle(child)))
            return bar;
    }
    return nullptr;
}

TOOLBAR* APPLNFRAME::addglobaltoolbar(
    unsigned id, const char* title, const char* bitmap, const TBBUTTON* buttons, int count)
{
    auto* toolbar = new TOOLBAR(this, id, title, bitmap, buttons, count);
    toolbar->setcmdctx(CMDCTX_GLOBAL);
    globaltoolbars.add(toolbar);
    return toolbar;
}

void APPLNFRAME::attach(CTRLBAR* bar, int side, int position)
{
    if (REBAR* rebar = getrebar(side))
        bar->attach(rebar, position);
}

void APPLNFRAME::detach(CTRLBAR* bar)
{
    for (REBAR* rebar : rebars)
        if (rebar)
            rebar->detach(bar);
}

void APPLNFRAME::setglobalmenu(APPLNMENU* menu)
{
    globalmenu = menu;
}

void APPLNFRAME::loadmodulemenu(APPLNMENU* menu)
{
    activemenu = menu ? menu : globalmenu;
    if (!activemenu)
        return;
    activemenu->rebuildmrulist();
    SetMenu(hwnd, activemenu->gethandle());
}

void APPLNFRAME::setactivepopup(HMENU popup)
{
    activepopup = popup;
    inmenuloop = popup ? 1 : 0;
}

int APPLNFRAME::queryclose()
{
    for (APPLNWINDOW* window : windows)
        if (window->getparentmodule() && window->getparentmodule()->ismodal())
            return 0;
    for (APPLNWINDOW* window : windows) {
        MODULECONTEXT* own = window->getapplncontext();
        APPLNCONTEXT* caller = own ? setapplncontext(own) : nullptr;
        const int agreed = window->queryclose();
        if (own)
            setapplncontext(caller);
        if (!agreed)
            return 0;
    }
    return 1;
}

int APPLNFRAME::close(int force)
{
    if (!force && process && !process->queryclose(this))
        return 0;
    if (process && !process->isclosepending())
        process->saveworkspace();
    if (hwnd) {
        savewindowplacement(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL));
        ShowWindow(hwnd, SW_HIDE);
    }
    closeallwindows();
    if (hwnd)
        KillTimer(hwnd, FRAMETIMER_WORKSPACE);
    if (process)
        process->removeframe(this);
    return 0;
}

void APPLNFRAME::closeallwindows()
{
    loadwindow(nullptr);
    for (int i = windows.count - 1; i >= 0; --i)
        if (APPLNWINDOW* window = windows.ptr(i))
            SendMessageA(window->hwnd, WM_CLOSE, 0, 0);
}

void APPLNFRAME::updatecaption()
{
    if (!hwnd)
        return;
    char text[PATHBUFFER] = {};
    if (active)
        active->getframecaption(text);
    else if (process)
        process->getframecaption(text);
    caption("%s", text);
    // The windows' captions may have changed with it.
    if (tabstrip)
        tabstrip->updatetabs();
}
