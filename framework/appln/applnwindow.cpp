#include "framework/appln/applnwindow.h"

#include <cstdio>
#include <cstring>

#include "core/text/strutil.h"
#include "framework/appln/applnframe.h"
#include "framework/appln/applnmenu.h"
#include "framework/appln/applnprocess.h"
#include "framework/appln/formattedtext.h"
#include "framework/bars/barmessages.h"
#include "framework/bars/statusbar.h"
#include "framework/bars/toolbar.h"
#include "framework/context/windowmessages.h"
#include "framework/tabs/tabstrip.h"
#include "platform/tirsk/windowstate.h"
#include "platform/win/images.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/window.h"

APPLNWINDOW::APPLNWINDOW() = default;

APPLNWINDOW::~APPLNWINDOW()
{
    destroywindow();
}

void APPLNWINDOW::setowner(APPLNMODULE* module)
{
    owner = module;
    applncontext = module ? module->getapplncontext() : nullptr;
    context = applncontext;
}

HWND APPLNWINDOW::createwindow(APPLNFRAME* parent)
{
    if (!parent || !owner || !parent->hwnd)
        return nullptr;
    const RECT area = parent->getapplnwindowarea();
    const int id = parent->getnextwindowid();
    frame = parent;
    if (APPLNPROCESS* process = getapplnprocess())
        menubar.reset(process->createapplnmenu(this));
    const int width = area.right - area.left + 1;
    const int height = area.bottom - area.top + 1;
    HWND window = CreateWindowExA(0, cls_dclk_noDC, owner->getapplntitle(),
        WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left, area.top, width, height, parent->hwnd,
        reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    if (!window) {
        frame = nullptr;
        menubar.reset();
        return nullptr;
    }
    savedfocus = window;
    context = applncontext;
    bind(window);
    SendMessageA(window, WM_WINDOWBOUND, 0, 0);
    LOGFONTA controlfont {};
    GetObjectA(getapplnctrlfont(), sizeof controlfont, &controlfont);
    font = CreateFontIndirectA(&controlfont);
    if (applncontext && !applncontext->window)
        applncontext->window = window;

    {
        MODULESCOPE scope(owner);
        seticon("APPICON");
        createstatusbar();
        errorhandler.attach(this, statusbar);
        clearlasthint();
        oncreatewindow();
        onresize(width, height);
    }

    owner->addwindow(this);
    frame->addwindow(this);
    return window;
}

void APPLNWINDOW::destroywindow()
{
    // A window destroyed before (its module may be gone since) has nothing left to undo.
    if (!hwnd && !frame)
        return;
    if (applncontext && hwnd && applncontext->window == hwnd)
        applncontext->window = nullptr;
    if (frame)
        frame->removewindow(this);
    if (owner)
        owner->removewindow(this);
    frame = nullptr;
    if (!hwnd || !IsWindow(hwnd))
        return;
    ondestroywindow();
    HWND window = hwnd;
    unbind();
    DestroyWindow(window);
    DeleteObject(font);
    toolbars.count = 0;
    ctrlbars.count = 0;
    statusbar = nullptr;
    font = nullptr;
    dialog = nullptr;
    hwnd = nullptr;
    menubar.reset();
}

void APPLNWINDOW::activate(APPLNWINDOW* previous)
{
    if (applncontext)
        setapplncontext(applncontext);
    if (previous != this && frame) {
        frame->loadmodulemenu(menubar.get());
        for (int i = 0; i < toolbars.count; ++i)
            frame->attach(toolbars[i], 0, frame->numglobaltoolbars() + 1 + i);
        for (CTRLBAR* bar : ctrlbars)
            frame->attach(bar, bar->getdefside(), bar->getdefpos());
    }
    ShowWindow(hwnd, SW_SHOW);
}

void APPLNWINDOW::activate()
{
    if (!frame)
        return;
    frame->loadwindow(this);
    if (IsIconic(frame->hwnd))
        ShowWindow(frame->hwnd, SW_RESTORE);
}

int APPLNWINDOW::isvisible()
{
    return frame && !IsIconic(frame->hwnd) && frame->getactivewindow() == this ? 1 : 0;
}

void APPLNWINDOW::setparent(APPLNFRAME* parent)
{
    if (!parent || parent == frame)
        return;
    SetParent(hwnd, parent->hwnd);
    if (frame)
        frame->removewindow(this);
    frame = parent;
    frame->addwindow(this);
}

CMDINFOTABLE* APPLNWINDOW::getcmdinfotable()
{
    return owner ? owner->getcmdinfotable() : nullptr;
}

KEYTRANSLATOR* APPLNWINDOW::getkeytranslator()
{
    return owner ? owner->getkeytranslator() : nullptr;
}

const char* APPLNWINDOW::getregistrykey()
{
    return owner ? owner->getregistrykey() : "";
}

char* APPLNWINDOW::getframecaption(char* buffer)
{
    char process[PATHBUFFER] = {};
    if (APPLNPROCESS* owningprocess = getapplnprocess())
        owningprocess->getframecaption(process);
    // A caption too long for the buffer is cut after a whole character.
    if (snprintf(buffer, PATHBUFFER, "%s - %s", process, getcaption()) >= static_cast<int>(PATHBUFFER))
        buffer[utf8prefix(buffer, PATHBUFFER - 1)] = 0;
    return buffer;
}

char* APPLNWINDOW::getcaption()
{
    caption[0] = 0;
    GetWindowTextA(hwnd, caption, CAPTIONLENGTH);
    return caption;
}

HICON APPLNWINDOW::geticon(unsigned kind)
{
    return reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, kind, 0));
}

void APPLNWINDOW::createstatusbar()
{
    statusbar = new STATUSBAR(this, STATUSBARID);
    addctrlbar(statusbar, 1, -1);
}

void APPLNWINDOW::seticon(const char* name)
{
    const struct {
        WPARAM kind;
        int width;
        int height;
    } sizes[] = { { ICON_BIG, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON) },
        { ICON_SMALL, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON) } };
    for (const auto& size : sizes)
        if (HANDLE icon
            = LoadImageA(getapplngraphicsinstance(), name, IMAGE_ICON, size.width, size.height, 0))
            SendMessageA(hwnd, WM_SETICON, size.kind, reinterpret_cast<LPARAM>(icon));
    if (TABSTRIP* strip = frame ? frame->gettabstrip() : nullptr)
        strip->updatetabs();
}

void APPLNWINDOW::setcmdctx(unsigned short commandcontext)
{
    if (menubar && menubar->gethandle()) {
        if (CMDINFOTABLE* table = getcmdinfotable())
            table->setmenubitmaps(menubar->gethandle(), 1, commandcontext);
        if (KEYTRANSLATOR* keys = getkeytranslator())
            keys->sync_menu(commandcontext, menubar->gethandle(), 0);
        leavecriticalsection();
    }
    cmdctx = commandcontext;
}

int APPLNWINDOW::onwantkey(unsigned long key, MSG* message)
{
    return owner ? owner->onwantkey(this, key, message) : 0;
}

void APPLNWINDOW::oncommand(unsigned short id)
{
    if (owner)
        owner->oncommand(this, id);
}

void APPLNWINDOW::onframesetcursor(HWND over)
{
    if (!statusbar)
        return;
    if (over != (frame ? frame->hwnd : nullptr) && over != statusbar->hwnd && over != hwnd) {
        statusbar->reset(0);
        return;
    }
    statusbar->reset(1);
    clearlasthint();
}

MODULECONTEXT* APPLNWINDOW::getapplncontext()
{
    return applncontext;
}

int APPLNWINDOW::docommand(unsigned short id)
{
    return owner ? owner->docommand(id) : 0;
}

int APPLNWINDOW::getuistate(unsigned short id, UISTATE* state)
{
    return owner ? owner->getuistate(id, state) : 0;
}

void APPLNWINDOW::oninitmenupopup(int index, HMENU popup)
{
    if (menubar)
        menubar->init(popup);
}

TOOLBAR* APPLNWINDOW::addtoolbar(
    unsigned id, const char* title, const char* bitmap, const TBBUTTON* buttons, int count)
{
    auto* toolbar = new TOOLBAR(this, id, title, bitmap, buttons, count);
    toolbar->setcmdctx(cmdctx);
    toolbars.add(toolbar);
    return toolbar;
}

void APPLNWINDOW::addctrlbar(CTRLBAR* bar, int side, int position)
{
    bar->setdefpos(side, position);
    ctrlbars.add(bar);
}

void APPLNWINDOW::removectrlbar(CTRLBAR* bar)
{
    if (frame)
        frame->detach(bar);
    ctrlbars.remove(bar);
    if (bar == statusbar)
        statusbar = nullptr;
}

void APPLNWINDOW::setstatusmsg(const char* format, ...)
{
    if (!statusbar)
        return;
    FORMATTEDTEXT(text, format);
    statusbar->message('S', text.c_str(), 0, 0, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, 0);
}

void APPLNWINDOW::setinfomsg(const char* format, ...)
{
    if (!statusbar)
        return;
    FORMATTEDTEXT(text, format);
    statusbar->message('I', text.c_str(), 0, 1, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, -3);
}

void APPLNWINDOW::clearstatusmsg()
{
    if (!statusbar)
        return;
    const char kind = statusbar->message();
    if (kind && kind != 'I' && kind != 'E')
        statusbar->message(0, nullptr, 0, 0, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, 0);
}

void APPLNWINDOW::resetstatusmsg(int clearhint)
{
    if (!statusbar)
        return;
    statusbar->reset(clearhint);
    if (clearhint)
        clearlasthint();
}

void APPLNWINDOW::setstatustabs(const char* layout, ...)
{
    if (!statusbar || !layout)
        return;
    int widths[10] = {};
    const size_t count = std::min<size_t>(std::max<size_t>(std::strlen(layout), 1) - 1, 10);
    va_list arguments;
    va_start(arguments, layout);
    for (size_t i = 0; i < count; ++i)
        widths[i] = va_arg(arguments, int);
    va_end(arguments);
    statusbar->settabboxes(layout, widths);
}

void APPLNWINDOW::sethint(unsigned short id)
{
    sethint(cmdctx, id);
}

void APPLNWINDOW::sethint(unsigned short commandcontext, unsigned short id)
{
    SendMessageA(hwnd, WM_COMMANDHINT, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(id, commandcontext));
}

void APPLNWINDOW::sethint(const char* text)
{
    if (!statusbar)
        return;
    statusbar->sethint(text);
    clearlasthint();
}

void APPLNWINDOW::clearhint()
{
    if (!statusbar)
        return;
    statusbar->sethint(nullptr);
    clearlasthint();
}

void APPLNWINDOW::settooltip(HWND control, unsigned short id)
{
    settooltip(control, cmdctx, id);
}

void APPLNWINDOW::settooltip(HWND control, unsigned short commandcontext, unsigned short id)
{
    CMDINFOTABLE* table = getcmdinfotable();
    settooltip(control, table ? table->gettiptext(commandcontext, id) : nullptr);
}

void APPLNWINDOW::settooltip(HWND control, const char* text)
{
    if (!frame)
        return;
    if (text)
        frame->showtooltip(control, nullptr, text, -1);
    else
        frame->hidetooltip();
}
