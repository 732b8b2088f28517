#include "core/windows/windowpos.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

#include "core/windows/applncontext.h"
#include "core/windows/registry.h"
#include "platform/win/monitors.h"
#include "platform/win/window.h"
#include "platform/win/winreg.h"

namespace {

const char* const positionkey = "Window Positions";
constexpr size_t namebuffer = 100;
// Parent and owner links cannot loop in the layer, but a window word set by hand could make them;
// no real chain is this long.
constexpr int longestchain = 4096;

// The value name: letters, digits and underscores of name, at most 99 of them.
void valuename(const char* name, char (&out)[namebuffer])
{
    size_t n = 0;
    for (const char* c = name; *c && n + 1 < namebuffer; ++c) {
        auto u = static_cast<unsigned char>(*c);
        if (std::isalpha(u) || std::isdigit(u) || u == '_') {
            out[n++] = *c;
        }
    }
    out[n] = 0;
}

}  // namespace

int savewindowpos(HWND window, const char* name)
{
    if (!name || !*name || IsIconic(window) || !IsWindowVisible(window)) {
        return 0;
    }
    char value[namebuffer];
    valuename(name, value);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    REGISTRY* registry = getapplncontext()->registry;
    if (!registry) {
        return 0;
    }
    return registry->putdata(positionkey, value, REG_BINARY, &placement, sizeof placement) ? 1 : 0;
}

int loadwindowpos(HWND window, const char* name)
{
    if (!name || !*name) {
        return 0;
    }
    char value[namebuffer];
    valuename(name, value);
    WINDOWPLACEMENT placement{};
    constexpr int size = sizeof placement;
    if (reg_getsize(positionkey, value) != size || reg_getbin(positionkey, value, &placement, size) != size ||
        placement.length != sizeof placement) {
        return 0;
    }
    fittoscreen(&placement.rcNormalPosition);
    SetWindowPlacement(window, &placement);
    return 1;
}

int fittoscreen(RECT* rect)
{
    if (!rect) {
        return 0;
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST), &info)) {
        return 0;
    }
    // A stored placement may hold any four numbers: the arithmetic is wide, and a size that is
    // negative or would carry the rectangle past the coordinate range is cut to what fits.
    const RECT& work = info.rcWork;
    constexpr int64_t largest = std::numeric_limits<LONG>::max();
    const int64_t width =
        std::clamp<int64_t>(int64_t{rect->right} - rect->left, 0, largest - std::max<LONG>(work.left, 0));
    const int64_t height =
        std::clamp<int64_t>(int64_t{rect->bottom} - rect->top, 0, largest - std::max<LONG>(work.top, 0));
    const int64_t left = std::max<int64_t>(work.left, std::min<int64_t>(rect->left, work.right - width));
    const int64_t top = std::max<int64_t>(work.top, std::min<int64_t>(rect->top, work.bottom - height));
    const RECT fitted{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + width),
                      static_cast<LONG>(top + height)};
    const bool moved = fitted.left != rect->left || fitted.top != rect->top || fitted.right != rect->right ||
                       fitted.bottom != rect->bottom;
    *rect = fitted;
    return moved ? 1 : 0;
}

HWND findparentwithstyle(HWND window, DWORD with, DWORD without)
{
    HWND parent = GetParent(window);
    for (int step = 0; parent && step < longestchain; ++step, parent = GetParent(parent)) {
        auto style = static_cast<DWORD>(GetWindowLongA(parent, GWL_STYLE));
        if ((style & with) == with && !(style & without)) {
            return parent;
        }
    }
    return nullptr;
}

int IsParentWindow(HWND ancestor, HWND window)
{
    auto up = [](HWND w) { return reinterpret_cast<HWND>(GetWindowLongPtrA(w, GWLP_HWNDPARENT)); };
    HWND link = up(window);
    for (int step = 0; link && step < longestchain; ++step, link = up(link)) {
        if (link == ancestor) {
            return 1;
        }
    }
    return 0;
}
