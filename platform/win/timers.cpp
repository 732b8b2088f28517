#include <algorithm>

#include "platform/win/backend.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

// Shorter intervals are raised to this, as the system does.
constexpr UINT shortestinterval = 10;

} // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure)
{
    auto queue = currentqueue();
    if (window) {
        auto w = windowref(window);
        if (!w || w->queue != queue) {
            return 0;
        }
    }
    UINT interval = std::max(milliseconds, shortestinterval);
    auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(interval);
    auto& timers = queue->timers;
    auto found = std::find_if(
        timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (found != timers.end() && (window || id)) {
        found->interval = interval;
        found->procedure = procedure;
        found->due = due;
    } else {
        if (!window) {
            id = ++queue->nexttimerid;
        }
        timers.push_back(Timer { window, id, interval, procedure, due });
    }
    if (isbackendthread()) {
        backend().wake();
    }
    return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    auto queue = currentqueue();
    auto& timers = queue->timers;
    auto found = std::find_if(
        timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
    if (found == timers.end()) {
        return FALSE;
    }
    timers.erase(found);
    return TRUE;
}

namespace win {

void killtimers(HWND window)
{
    auto queue = currentqueue();
    auto& timers = queue->timers;
    timers.erase(
        std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window; }),
        timers.end());
}

} // namespace win
