#include "framework/appln/applnform.h"

#include <cstdarg>

#include "platform/drelm/form.h"
#include "platform/win/input.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

APPLNFORM::~APPLNFORM()
{
    delete form;
}

FORM* APPLNFORM::loadform(const char* name, IFORMHANDLER* handler, int kind, ...)
{
    auto* made = new FORM(hwnd, name, handler ? handler : this);
    va_list arguments;
    va_start(arguments, kind);
    if (kind == LT_VARARGS) {
        made->setarglist(arguments);
    } else if (kind == LT_VALIST) {
        va_list* given = va_arg(arguments, va_list*);
        made->setarglist(*given);
    }
    va_end(arguments);
    if (!hwnd || !made->load(hwnd, 1)) {
        delete made;
        return nullptr;
    }
    // A second form takes the place of the first, which goes with it.
    delete form;
    form = made;
    dialog = form->gethwnd();
    SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_CONTROLPARENT));
    SetWindowLongA(
        dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_CONTROLPARENT));
    SetWindowLongA(dialog, GWL_STYLE, GetWindowLongA(dialog, GWL_STYLE) | static_cast<LONG>(WS_CLIPCHILDREN));
    RECT client {};
    GetClientRect(hwnd, &client);
    form->locate(0, 0, client.right, client.bottom, 0);
    form->open(DLG_MODELESS, LT_NONE);
    return form;
}

LRESULT APPLNFORM::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS && form)
        SetFocus(form->gethwnd());
    return APPLNWINDOW::msghlr(window, message, wParam, lParam);
}

void APPLNFORM::onresize(int width, int height)
{
    if (!form)
        return;
    form->sizeto(width, height, 8);
    form->invalidate(nullptr, 1);
}
