#include "platform/win/windowtable.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/win/backend.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/textcase.h"
#include "platform/win/window.h"

namespace win {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<uintptr_t, WindowRef> windows;
    std::vector<HWND> toplevels; // topmost first
    uintptr_t nexthandle = 0x10010;
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextatom = 0xC000;
};

// Never destroyed: windows may still be torn down while static objects go away at exit.
Table& table()
{
    static Table* instance = new Table;
    return *instance;
}

uintptr_t key(HWND handle)
{
    return reinterpret_cast<uintptr_t>(handle);
}

// With the table locked.
Window* findlocked(HWND handle)
{
    auto found = table().windows.find(key(handle));
    return found == table().windows.end() ? nullptr : found->second.get();
}

// The list holding the window in z-order, with the table locked.
std::vector<HWND>& siblings(Window& window)
{
    if (window.style & WS_CHILD) {
        if (auto* parent = findlocked(window.parent)) {
            return parent->children;
        }
    }
    return table().toplevels;
}

// A new top-level window goes on top of its band: topmost windows above all others. With the
// table locked.
void inserttoplevel(HWND handle, bool topmost)
{
    auto& list = table().toplevels;
    auto at = list.begin();
    if (!topmost) {
        at = std::find_if(list.begin(), list.end(), [](HWND h) {
            auto* w = findlocked(h);
            return !w || !(w->exstyle & WS_EX_TOPMOST);
        });
    }
    list.insert(at, handle);
}

void remove(std::vector<HWND>& list, HWND handle)
{
    list.erase(std::remove(list.begin(), list.end(), handle), list.end());
}

// The default size and place of a top-level window: three quarters of the primary work area,
// offset from its corner.
RECT defaultrect(int x, int y, int width, int height)
{
    RECT work { 0, 0, 1024, 768 };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (x == CW_USEDEFAULT) {
        x = work.left + 32;
        y = work.top + 32;
    }
    if (width == CW_USEDEFAULT) {
        width = (work.right - work.left) * 3 / 4;
        height = (work.bottom - work.top) * 3 / 4;
    }
    return RECT { x, y, x + width, y + height };
}

void senddestroy(HWND handle)
{
    auto window = windowref(handle);
    if (!window) {
        return;
    }
    SendMessageA(handle, WM_DESTROY, 0, 0);
    for (HWND child : std::vector<HWND>(window->children)) {
        senddestroy(child);
    }
}

void teardown(HWND handle)
{
    auto window = windowref(handle);
    if (!window) {
        return;
    }
    for (HWND child : std::vector<HWND>(window->children)) {
        teardown(child);
    }
    SendMessageA(handle, WM_NCDESTROY, 0, 0);
    forgetinput(handle);
    killtimers(handle);
    backend().destroyed(handle);
    std::lock_guard lock(table().mutex);
    remove(siblings(*window), handle);
    table().windows.erase(key(handle));
}

} // namespace

WindowRef windowref(HWND handle)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    auto found = t.windows.find(key(handle));
    return found == t.windows.end() ? nullptr : found->second;
}

std::shared_ptr<WindowClass> findclass(LPCSTR name)
{
    if (!name) {
        return nullptr;
    }
    auto& t = table();
    std::lock_guard lock(t.mutex);
    for (auto& c : t.classes) {
        if (IS_INTRESOURCE(name) ? c->atom == reinterpret_cast<uintptr_t>(name)
                                 : equalnocase(c->name, name)) {
            return c;
        }
    }
    return nullptr;
}

std::vector<HWND> toplevelwindows()
{
    std::lock_guard lock(table().mutex);
    return table().toplevels;
}

void settoplevelorder(const std::vector<HWND>& order)
{
    std::lock_guard lock(table().mutex);
    table().toplevels = order;
}

} // namespace win

using namespace win;

ATOM RegisterClassExA(const WNDCLASSEXA* windowclass)
{
    if (!windowclass || !windowclass->lpszClassName || !windowclass->lpfnWndProc
        || IS_INTRESOURCE(windowclass->lpszClassName)) {
        return 0;
    }
    if (findclass(windowclass->lpszClassName)) {
        return 0;
    }
    auto c = std::make_shared<WindowClass>();
    c->name = windowclass->lpszClassName;
    c->style = windowclass->style;
    c->procedure = windowclass->lpfnWndProc;
    c->windowbytes = std::max(0, windowclass->cbWndExtra);
    c->instance = windowclass->hInstance;
    c->icon = windowclass->hIcon;
    c->smallicon = windowclass->hIconSm;
    c->cursor = windowclass->hCursor;
    c->background = windowclass->hbrBackground;
    auto& t = table();
    std::lock_guard lock(t.mutex);
    c->atom = t.nextatom++;
    t.classes.push_back(c);
    return c->atom;
}

BOOL UnregisterClassA(LPCSTR name, HINSTANCE)
{
    auto c = findclass(name);
    if (!c) {
        return FALSE;
    }
    auto& t = table();
    std::lock_guard lock(t.mutex);
    for (auto& [handle, window] : t.windows) {
        if (window->windowclass == c) {
            return FALSE;
        }
    }
    t.classes.erase(std::find(t.classes.begin(), t.classes.end(), c));
    return TRUE;
}

int GetClassNameA(HWND handle, LPSTR buffer, int size)
{
    auto window = windowref(handle);
    if (!window || !buffer || size < 1) {
        return 0;
    }
    int length = std::min<int>(static_cast<int>(window->windowclass->name.size()), size - 1);
    std::memcpy(buffer, window->windowclass->name.data(), length);
    buffer[length] = 0;
    return length;
}

HWND CreateWindowExA(DWORD exstyle, LPCSTR classname, LPCSTR title, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    auto c = findclass(classname);
    if (!c) {
        return nullptr;
    }
    const bool child = style & WS_CHILD;
    if (child && !windowref(parent)) {
        return nullptr;
    }
    auto window = std::make_shared<Window>();
    window->windowclass = c;
    window->queue = currentqueue();
    window->procedure = c->procedure;
    window->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    window->exstyle = exstyle;
    window->instance = instance;
    window->bytes.assign(c->windowbytes, 0);
    if (child) {
        window->parent = parent;
        window->id = reinterpret_cast<UINT_PTR>(menu);
        window->rect = RECT { x == CW_USEDEFAULT ? 0 : x, y == CW_USEDEFAULT ? 0 : y, 0, 0 };
        window->rect.right = window->rect.left + (width == CW_USEDEFAULT ? 0 : std::max(0, width));
        window->rect.bottom = window->rect.top + (height == CW_USEDEFAULT ? 0 : std::max(0, height));
    } else {
        window->owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
        window->menu = menu;
        window->rect = defaultrect(x, y, std::max(0, width), std::max(0, height));
    }
    window->normalrect = window->rect;

    auto& t = table();
    {
        std::lock_guard lock(t.mutex);
        window->handle = reinterpret_cast<HWND>(t.nexthandle);
        t.nexthandle += 2;
        t.windows.emplace(key(window->handle), window);
    }
    HWND handle = window->handle;
    if (child) {
        auto parentwindow = windowref(parent);
        std::lock_guard lock(t.mutex);
        parentwindow->children.insert(parentwindow->children.begin(), handle);
    } else {
        std::lock_guard lock(t.mutex);
        inserttoplevel(handle, exstyle & WS_EX_TOPMOST);
    }
    backend().created(handle);

    CREATESTRUCTA create { param, instance, menu, parent,
        static_cast<int>(window->rect.bottom - window->rect.top),
        static_cast<int>(window->rect.right - window->rect.left), static_cast<int>(window->rect.top),
        static_cast<int>(window->rect.left), static_cast<LONG>(style), title, classname, exstyle };
    if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))
        || SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!IsWindow(handle)) {
        return nullptr;
    }
    RECT client;
    GetClientRect(handle, &client);
    SendMessageA(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(window->rect.left, window->rect.top));
    if (style & WS_VISIBLE) {
        ShowWindow(handle,
            (style & WS_MAXIMIZE)       ? SW_SHOWMAXIMIZED
                : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                        : SW_SHOW);
    }
    return IsWindow(handle) ? handle : nullptr;
}

BOOL DestroyWindow(HWND handle)
{
    auto window = windowref(handle);
    if (!window || window->queue->thread != std::this_thread::get_id()) {
        return FALSE;
    }
    if (window->destroying) {
        return TRUE;
    }
    window->destroying = true;
    if (window->style & WS_VISIBLE) {
        SetWindowPos(handle, nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (HWND other : toplevelwindows()) {
        auto owned = windowref(other);
        if (owned && owned->owner == handle) {
            DestroyWindow(other);
        }
    }
    senddestroy(handle);
    teardown(handle);
    wakequeue(*window->queue);
    return TRUE;
}

BOOL IsWindow(HWND handle)
{
    return windowref(handle) ? TRUE : FALSE;
}

HWND GetParent(HWND handle)
{
    auto window = windowref(handle);
    if (!window) {
        return nullptr;
    }
    if (window->style & WS_CHILD) {
        return window->parent;
    }
    return (window->style & WS_POPUP) ? window->owner : nullptr;
}

HWND SetParent(HWND handle, HWND parent)
{
    auto window = windowref(handle);
    auto newparent = windowref(parent);
    if (!window || (parent && !newparent) || handle == parent || (parent && IsChild(handle, parent))) {
        return nullptr;
    }
    HWND old = window->parent;
    {
        std::lock_guard lock(table().mutex);
        remove(siblings(*window), handle);
    }
    if (newparent) {
        window->style = (window->style | WS_CHILD) & ~WS_POPUP;
        window->parent = parent;
        window->owner = nullptr;
        std::lock_guard lock(table().mutex);
        newparent->children.insert(newparent->children.begin(), handle);
    } else {
        window->style &= ~WS_CHILD;
        window->parent = nullptr;
        std::lock_guard lock(table().mutex);
        inserttoplevel(handle, window->exstyle & WS_EX_TOPMOST);
    }
    backend().changed(handle, changeparent | changegeometry);
    return old;
}

HWND GetAncestor(HWND handle, UINT flags)
{
    auto window = windowref(handle);
    if (!window) {
        return nullptr;
    }
    switch (flags) {
    case GA_PARENT:
        return (window->style & WS_CHILD) ? window->parent : nullptr;
    case GA_ROOT:
        while (window->style & WS_CHILD) {
            auto up = windowref(window->parent);
            if (!up) {
                break;
            }
            window = up;
        }
        return window->handle;
    case GA_ROOTOWNER: {
        HWND root = GetAncestor(handle, GA_ROOT);
        for (HWND owner = GetParent(root); owner; owner = GetParent(owner)) {
            root = owner;
        }
        return root;
    }
    default:
        return nullptr;
    }
}

HWND GetWindow(HWND handle, UINT relation)
{
    auto window = windowref(handle);
    if (!window) {
        return nullptr;
    }
    if (relation == GW_CHILD) {
        return window->children.empty() ? nullptr : window->children.front();
    }
    if (relation == GW_OWNER) {
        return (window->style & WS_CHILD) ? nullptr : window->owner;
    }
    if (relation == GW_ENABLEDPOPUP) {
        HWND popup = GetLastActivePopup(handle);
        return popup != handle && IsWindowEnabled(popup) ? popup : nullptr;
    }
    std::vector<HWND> list;
    {
        std::lock_guard lock(table().mutex);
        list = siblings(*window);
    }
    auto at = std::find(list.begin(), list.end(), handle);
    switch (relation) {
    case GW_HWNDFIRST:
        return list.empty() ? nullptr : list.front();
    case GW_HWNDLAST:
        return list.empty() ? nullptr : list.back();
    case GW_HWNDNEXT:
        return at == list.end() || at + 1 == list.end() ? nullptr : *(at + 1);
    case GW_HWNDPREV:
        return at == list.begin() || at == list.end() ? nullptr : *(at - 1);
    default:
        return nullptr;
    }
}

BOOL IsChild(HWND parent, HWND handle)
{
    for (auto window = windowref(handle); window && (window->style & WS_CHILD);) {
        if (window->parent == parent) {
            return TRUE;
        }
        window = windowref(window->parent);
    }
    return FALSE;
}

HWND GetDlgItem(HWND parent, int id)
{
    auto window = windowref(parent);
    if (!window) {
        return nullptr;
    }
    for (HWND child : window->children) {
        auto c = windowref(child);
        if (c && c->id == static_cast<UINT_PTR>(id)) {
            return child;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(HWND handle)
{
    auto window = windowref(handle);
    return window && (window->style & WS_CHILD) ? static_cast<int>(window->id) : 0;
}

