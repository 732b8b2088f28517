// Subclass chains: procedures in front of a window's own procedure.

#include <algorithm>

#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace win {
namespace {

// The chain being walked for a window, innermost call last.
struct Walk {
    HWND window;
    std::vector<Window::Subclass> chain;
    size_t next; // chain[next - 1] comes next; 0: the window procedure
};

thread_local std::vector<Walk> walks;

LRESULT step(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    Walk& walk = walks.back();
    if (walk.next == 0) {
        auto window = windowref(handle);
        return window ? callprocedure(window->procedure, handle, message, wParam, lParam) : 0;
    }
    const Window::Subclass entry = walk.chain[--walk.next];
    return entry.procedure(handle, message, wParam, lParam, entry.id, entry.data);
}

} // namespace

LRESULT callwindow(const WindowRef& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window->subclasses.empty()) {
        return callprocedure(window->procedure, window->handle, message, wParam, lParam);
    }
    walks.push_back(Walk { window->handle, window->subclasses, window->subclasses.size() });
    LRESULT result = step(window->handle, message, wParam, lParam);
    walks.pop_back();
    return result;
}

} // namespace win

using namespace win;

BOOL SetWindowSubclass(HWND handle, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data)
{
    auto window = windowref(handle);
    if (!window || !procedure) {
        return FALSE;
    }
    auto& chain = window->subclasses;
    auto found = std::find_if(chain.begin(), chain.end(),
        [&](const Window::Subclass& s) { return s.procedure == procedure && s.id == id; });
    if (found != chain.end()) {
        found->data = data;
    } else {
        chain.push_back(Window::Subclass { procedure, id, data });
    }
    return TRUE;
}

BOOL RemoveWindowSubclass(HWND handle, SUBCLASSPROC procedure, UINT_PTR id)
{
    auto window = windowref(handle);
    if (!window) {
        return FALSE;
    }
    auto& chain = window->subclasses;
    auto found = std::find_if(chain.begin(), chain.end(),
        [&](const Window::Subclass& s) { return s.procedure == procedure && s.id == id; });
    if (found == chain.end()) {
        return FALSE;
    }
    chain.erase(found);
    return TRUE;
}

LRESULT DefSubclassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (walks.empty() || walks.back().window != handle) {
        return DefWindowProcA(handle, message, wParam, lParam);
    }
    return step(handle, message, wParam, lParam);
}
