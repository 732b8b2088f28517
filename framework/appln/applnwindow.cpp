#include "framework/appln/applnwindow.h"

#include "framework/appln/applnframe.h"
#include "framework/appln/applnmodule.h"
#include "platform/win/messagequeue.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

APPLNWINDOW::~APPLNWINDOW()
{
    destroywindow();
}

void APPLNWINDOW::setowner(APPLNMODULE* module)
{
    owner = module;
    context = module ? module->getapplncontext() : nullptr;
}

HWND APPLNWINDOW::createwindow(APPLNFRAME* parent)
{
    if (!parent || !owner)
        return nullptr;
    RECT client {};
    GetClientRect(parent->hwnd, &client);
    HWND window = CreateWindowExA(0, cls_dclk_noDC, owner->getapplntitle(),
        WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, client.right, client.bottom, parent->hwnd,
        nullptr, nullptr, nullptr);
    if (!window)
        return nullptr;
    frame = parent;
    bind(window);
    MODULECONTEXT* modulecontext = owner->getapplncontext();
    if (!modulecontext->window)
        modulecontext->window = window;
    owner->addwindow(this);
    frame->addwindow(this);
    return window;
}

void APPLNWINDOW::destroywindow()
{
    // A window destroyed before (its module may be gone since) has nothing left to undo.
    if (!hwnd && !frame)
        return;
    if (owner && owner->getapplncontext()->window == hwnd && hwnd)
        owner->getapplncontext()->window = nullptr;
    if (frame)
        frame->removewindow(this);
    if (owner)
        owner->removewindow(this);
    frame = nullptr;
    if (!hwnd || !IsWindow(hwnd))
        return;
    HWND window = hwnd;
    unbind();
    DestroyWindow(window);
}

LRESULT APPLNWINDOW::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        onclose();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

MODULECONTEXT* APPLNWINDOW::getapplncontext()
{
    return owner ? owner->getapplncontext() : nullptr;
}

int APPLNWINDOW::docommand(unsigned short id)
{
    return owner ? owner->docommand(id) : 0;
}

int APPLNWINDOW::getuistate(unsigned short id, UISTATE* state)
{
    return owner ? owner->getuistate(id, state) : 0;
}
