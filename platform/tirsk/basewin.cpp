#include "platform/tirsk/basewin.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

const char* cls_dclk_noDC = nullptr;
const char* cls_noDC = nullptr;

namespace {

const char* const objectproperty = "BASEWIN";
std::string doubleclickclass;
std::string plainclass;

LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    BASEWIN* object = BASEWIN::fromhandle(window);
    if (!object) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // The object may delete itself here (a bar on WM_DESTROY): nothing of it is touched after.
    return object->msghlr(window, message, wParam, lParam);
}

bool ourclass(HWND window)
{
    char name[256];
    GetClassNameA(window, name, sizeof name);
    return (cls_dclk_noDC && doubleclickclass == name) || (cls_noDC && plainclass == name);
}

ATOM registerclass(const std::string& name, UINT style)
{
    WNDCLASSEXA c{};
    c.cbSize = sizeof c;
    c.style = style;
    c.lpfnWndProc = procedure;
    c.cbWndExtra = 2 * sizeof(LONG_PTR);
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.lpszClassName = name.c_str();
    return RegisterClassExA(&c);
}

}  // namespace

LRESULT BASEWIN::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return chainsubclass(window, message, wParam, lParam);
}

APPLNCONTEXT* BASEWIN::getcontext() { return context; }

BASEWIN::~BASEWIN() { unbind(); }

void BASEWIN::caption(const char* format, ...)
{
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format ? format : "", arguments);
    va_end(arguments);
    SetWindowTextA(hwnd, text);
}

void BASEWIN::invalidate(const RECT* area, int erase) { InvalidateRect(hwnd, area, erase ? TRUE : FALSE); }

void BASEWIN::takefocus(int raise)
{
    SetFocus(hwnd);
    if (raise) {
        BringWindowToTop(GetAncestor(hwnd, GA_ROOT));
    }
}

void BASEWIN::locate(int x, int y, int width, int height, unsigned flags)
{
    SetWindowPos(hwnd, nullptr, x, y, width, height, flags | SWP_NOZORDER);
}

void BASEWIN::sizeto(int width, int height, unsigned flags)
{
    SetWindowPos(hwnd, nullptr, 0, 0, width, height, flags | SWP_NOMOVE | SWP_NOZORDER);
}

BOOL BASEWIN::bind(HWND window)
{
    if (!IsWindow(window) || !ourclass(window)) {
        return FALSE;
    }
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(this));
    hwnd = window;
    return TRUE;
}

BOOL BASEWIN::subclass(HWND window)
{
    if (!IsWindow(window) || fromhandle(window)) {
        return FALSE;
    }
    SetPropA(window, objectproperty, this);
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    hwnd = window;
    return TRUE;
}

void BASEWIN::unbind()
{
    if (!IsWindow(hwnd)) {
        hwnd = nullptr;
        original = nullptr;
        return;
    }
    if (original) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == procedure) {
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        }
        RemovePropA(hwnd, objectproperty);
        original = nullptr;
    } else if (fromhandle(hwnd) == this) {
        SetWindowLongPtrA(hwnd, 0, 0);
    }
    hwnd = nullptr;
}

LRESULT BASEWIN::chainsubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (original) {
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BASEWIN* BASEWIN::fromhandle(HWND window)
{
    if (auto* subclassed = static_cast<BASEWIN*>(GetPropA(window, objectproperty))) {
        return subclassed;
    }
    return ourclass(window) ? reinterpret_cast<BASEWIN*>(GetWindowLongPtrA(window, 0)) : nullptr;
}

int BASEWIN::initialise(const char* prefix)
{
    if (!prefix || !*prefix) {
        return 0;
    }
    std::string dclk = std::string(prefix) + "_dclk_noDC";
    std::string plain = std::string(prefix) + "_noDC";
    if (cls_dclk_noDC && dclk == doubleclickclass) {
        return 1;
    }
    terminate();
    doubleclickclass = dclk;
    plainclass = plain;
    if (!registerclass(doubleclickclass, CS_DBLCLKS) || !registerclass(plainclass, 0)) {
        UnregisterClassA(doubleclickclass.c_str(), nullptr);
        return 0;
    }
    cls_dclk_noDC = doubleclickclass.c_str();
    cls_noDC = plainclass.c_str();
    return 1;
}

void BASEWIN::terminate()
{
    if (cls_dclk_noDC) {
        UnregisterClassA(cls_dclk_noDC, nullptr);
        UnregisterClassA(cls_noDC, nullptr);
    }
    cls_dclk_noDC = nullptr;
    cls_noDC = nullptr;
}
