// Window words, properties and text.

#include <cstring>

#include "platform/win/backend.h"
#include "platform/win/messagequeue.h"
#include "platform/win/textcase.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

LONG_PTR getlong(HWND handle, int index, size_t width)
{
    auto window = windowref(handle);
    if (!window) {
        return 0;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>((window->style & WS_CHILD) ? window->parent : window->owner);
    case GWLP_ID:
        return static_cast<LONG_PTR>(window->id);
    case GWL_STYLE:
        return static_cast<LONG>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(window->exstyle);
    case GWLP_USERDATA:
        return window->userdata;
    default:
        break;
    }
    if (index < 0 || static_cast<size_t>(index) + width > window->bytes.size()) {
        return 0;
    }
    if (width == sizeof(LONG)) {
        LONG value;
        std::memcpy(&value, window->bytes.data() + index, width);
        return value;
    }
    LONG_PTR value;
    std::memcpy(&value, window->bytes.data() + index, width);
    return value;
}

LONG_PTR setlong(HWND handle, int index, LONG_PTR value, size_t width)
{
    auto window = windowref(handle);
    if (!window) {
        return 0;
    }
    LONG_PTR old = getlong(handle, index, width);
    switch (index) {
    case GWLP_WNDPROC:
        window->procedure = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_HINSTANCE:
        window->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWLP_HWNDPARENT:
        if (!(window->style & WS_CHILD)) {
            window->owner = reinterpret_cast<HWND>(value);
        }
        return old;
    case GWLP_ID:
        window->id = static_cast<UINT_PTR>(value);
        return old;
    case GWL_STYLE: {
        STYLESTRUCT styles { window->style, static_cast<DWORD>(value) };
        SendMessageA(
            handle, WM_STYLECHANGING, static_cast<WPARAM>(GWL_STYLE), reinterpret_cast<LPARAM>(&styles));
        DWORD changed = window->style ^ styles.styleNew;
        window->style = styles.styleNew;
        unsigned changes = changestyle;
        if (changed & WS_VISIBLE) {
            changes |= changevisible;
        }
        if (changed & WS_DISABLED) {
            changes |= changeenabled;
        }
        backend().changed(handle, changes);
        SendMessageA(
            handle, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), reinterpret_cast<LPARAM>(&styles));
        return old;
    }
    case GWL_EXSTYLE: {
        STYLESTRUCT styles { window->exstyle, static_cast<DWORD>(value) };
        SendMessageA(
            handle, WM_STYLECHANGING, static_cast<WPARAM>(GWL_EXSTYLE), reinterpret_cast<LPARAM>(&styles));
        window->exstyle = styles.styleNew;
        backend().changed(handle, changestyle);
        SendMessageA(
            handle, WM_STYLECHANGED, static_cast<WPARAM>(GWL_EXSTYLE), reinterpret_cast<LPARAM>(&styles));
        return old;
    }
    case GWLP_USERDATA:
        window->userdata = value;
        return old;
    default:
        break;
    }
    if (index < 0 || static_cast<size_t>(index) + width > window->bytes.size()) {
        return 0;
    }
    if (width == sizeof(LONG)) {
        LONG narrow = static_cast<LONG>(value);
        std::memcpy(window->bytes.data() + index, &narrow, width);
    } else {
        std::memcpy(window->bytes.data() + index, &value, width);
    }
    return old;
}

} // namespace

LONG GetWindowLongA(HWND handle, int index)
{
    return static_cast<LONG>(getlong(handle, index, sizeof(LONG)));
}

LONG SetWindowLongA(HWND handle, int index, LONG value)
{
    return static_cast<LONG>(setlong(handle, index, value, sizeof(LONG)));
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index)
{
    return getlong(handle, index, sizeof(LONG_PTR));
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value)
{
    return setlong(handle, index, value, sizeof(LONG_PTR));
}

BOOL SetPropA(HWND handle, LPCSTR name, HANDLE value)
{
    auto window = windowref(handle);
    if (!window || !name) {
        return FALSE;
    }
    for (auto& [key, held] : window->properties) {
        if (equalnocase(key, name)) {
            held = value;
            return TRUE;
        }
    }
    window->properties.emplace_back(name, value);
    return TRUE;
}

HANDLE GetPropA(HWND handle, LPCSTR name)
{
    auto window = windowref(handle);
    if (!window || !name) {
        return nullptr;
    }
    for (auto& [key, held] : window->properties) {
        if (equalnocase(key, name)) {
            return held;
        }
    }
    return nullptr;
}

HANDLE RemovePropA(HWND handle, LPCSTR name)
{
    auto window = windowref(handle);
    if (!window || !name) {
        return nullptr;
    }
    auto& list = window->properties;
    for (auto at = list.begin(); at != list.end(); ++at) {
        if (equalnocase(at->first, name)) {
            HANDLE value = at->second;
            list.erase(at);
            return value;
        }
    }
    return nullptr;
}

BOOL SetWindowTextA(HWND handle, LPCSTR text)
{
    return IsWindow(handle)
        && SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

int GetWindowTextA(HWND handle, LPSTR buffer, int size)
{
    if (!buffer || size < 1) {
        return 0;
    }
    buffer[0] = 0;
    return static_cast<int>(SendMessageA(handle, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer)));
}
