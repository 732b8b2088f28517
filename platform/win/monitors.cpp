#include "platform/win/monitors.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <mutex>

#include "platform/win/backend.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace win {
namespace {

std::mutex overridemutex;
std::optional<std::vector<Monitor>> replacement;

HMONITOR handleof(size_t index)
{
    return reinterpret_cast<HMONITOR>(index + 1);
}

int64_t area(const RECT& r)
{
    return isempty(r) ? 0 : int64_t(r.right - r.left) * (r.bottom - r.top);
}

// Squared, as a double: a point far out in the coordinate range squares past 64 bits.
double distance(const RECT& r, tagPOINT p)
{
    double dx = p.x < r.left ? double(r.left) - p.x : p.x >= r.right ? double(p.x) - r.right + 1 : 0;
    double dy = p.y < r.top ? double(r.top) - p.y : p.y >= r.bottom ? double(p.y) - r.bottom + 1 : 0;
    return dx * dx + dy * dy;
}

size_t primaryindex(const std::vector<Monitor>& list)
{
    auto found = std::find_if(list.begin(), list.end(), [](const Monitor& m) { return m.primary; });
    return found == list.end() ? 0 : static_cast<size_t>(found - list.begin());
}

HMONITOR fallback(const std::vector<Monitor>& list, DWORD flags, const RECT& near)
{
    if (list.empty() || flags == MONITOR_DEFAULTTONULL) {
        return nullptr;
    }
    if (flags == MONITOR_DEFAULTTOPRIMARY) {
        return handleof(primaryindex(list));
    }
    // The nearest monitor: smallest distance from the rectangle's centre to the monitor.
    // Wide arithmetic: the rectangle may be a stored placement holding any four numbers.
    tagPOINT centre { static_cast<LONG>((int64_t { near.left } + near.right) / 2),
        static_cast<LONG>((int64_t { near.top } + near.bottom) / 2) };
    size_t best = 0;
    double bestdistance = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < list.size(); ++i) {
        double d = distance(list[i].area, centre);
        if (d < bestdistance) {
            best = i;
            bestdistance = d;
        }
    }
    return handleof(best);
}

} // namespace

std::vector<Monitor> monitors()
{
    std::vector<Monitor> list;
    {
        std::lock_guard lock(overridemutex);
        if (replacement) {
            list = *replacement;
        }
    }
    if (list.empty()) {
        list = backend().monitors();
    }
    if (!list.empty() && std::none_of(list.begin(), list.end(), [](const Monitor& m) { return m.primary; })) {
        list.front().primary = true;
    }
    return list;
}

void overridemonitors(std::optional<std::vector<Monitor>> list)
{
    std::lock_guard lock(overridemutex);
    replacement = std::move(list);
}

bool monitorinfo(HMONITOR monitor, Monitor& info)
{
    auto index = reinterpret_cast<uintptr_t>(monitor);
    auto list = monitors();
    if (index < 1 || index > list.size()) {
        return false;
    }
    info = list[index - 1];
    return true;
}

} // namespace win

using namespace win;

HMONITOR MonitorFromPoint(tagPOINT point, DWORD flags)
{
    auto list = monitors();
    for (size_t i = 0; i < list.size(); ++i) {
        if (contains(list[i].area, point)) {
            return handleof(i);
        }
    }
    return fallback(list, flags, RECT { point.x, point.y, point.x + 1, point.y + 1 });
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags)
{
    if (!rect) {
        return nullptr;
    }
    auto list = monitors();
    size_t best = 0;
    int64_t bestarea = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        int64_t shared = area(intersect(list[i].area, *rect));
        if (shared > bestarea) {
            best = i;
            bestarea = shared;
        }
    }
    if (bestarea > 0) {
        return handleof(best);
    }
    return fallback(list, flags, *rect);
}

HMONITOR MonitorFromWindow(HWND handle, DWORD flags)
{
    RECT rect;
    if (!GetWindowRect(handle, &rect)) {
        return fallback(monitors(), flags, RECT {});
    }
    if (IsIconic(handle)) {
        WINDOWPLACEMENT placement {};
        placement.length = sizeof(WINDOWPLACEMENT);
        GetWindowPlacement(handle, &placement);
        rect = placement.rcNormalPosition;
    }
    if (isempty(rect)) {
        rect.right = rect.left + 1;
        rect.bottom = rect.top + 1;
    }
    return MonitorFromRect(&rect, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info)
{
    Monitor found;
    if (!info || info->cbSize < sizeof(MONITORINFO) || !monitorinfo(monitor, found)) {
        return FALSE;
    }
    info->rcMonitor = found.area;
    info->rcWork = found.work;
    info->dwFlags = found.primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

BOOL SystemParametersInfoA(UINT action, UINT, LPVOID param, UINT)
{
    if (action != SPI_GETWORKAREA || !param) {
        return FALSE;
    }
    auto list = monitors();
    if (list.empty()) {
        return FALSE;
    }
    *static_cast<RECT*>(param) = list[primaryindex(list)].work;
    return TRUE;
}
