#pragma once

// A window class that records every message it receives and lets a test answer some of them.

#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace wintest {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

using Answer = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

inline std::vector<Received>& received()
{
    static std::vector<Received> list;
    return list;
}

// Called first for every message; an answer replaces the default handling.
inline Answer& answer()
{
    static Answer hook;
    return hook;
}

inline LRESULT recordingprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received().push_back(Received { window, message, wParam, lParam });
    if (answer()) {
        if (auto result = answer()(window, message, wParam, lParam)) {
            return *result;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline const char* recordingclass(UINT style = 0)
{
    static const char* names[] = { "RecordingWindow", "RecordingWindowDbl" };
    const char* name = names[style & CS_DBLCLKS ? 1 : 0];
    WNDCLASSEXA c {};
    c.cbSize = sizeof(c);
    c.style = style;
    c.lpfnWndProc = recordingprocedure;
    c.cbWndExtra = 16;
    c.lpszClassName = name;
    RegisterClassExA(&c); // fails harmlessly when registered already
    return name;
}

// The ids of the messages `window` received that are among `wanted`, in order.
inline std::vector<UINT> sequence(HWND window, std::set<UINT> wanted)
{
    std::vector<UINT> ids;
    for (const auto& r : received()) {
        if (r.hwnd == window && wanted.count(r.message)) {
            ids.push_back(r.message);
        }
    }
    return ids;
}

inline std::vector<Received> messagesof(UINT message)
{
    std::vector<Received> list;
    for (const auto& r : received()) {
        if (r.message == message) {
            list.push_back(r);
        }
    }
    return list;
}

inline HWND toplevel(
    int x = 100, int y = 100, int width = 400, int height = 300, DWORD style = WS_OVERLAPPEDWINDOW)
{
    return CreateWindowExA(
        0, recordingclass(), "top", style, x, y, width, height, nullptr, nullptr, nullptr, nullptr);
}

inline HWND child(HWND parent, int id, RECT r, DWORD style = WS_CHILD | WS_VISIBLE)
{
    return CreateWindowExA(0, recordingclass(), "child", style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
}

// Resets the records and the answer hook, and destroys the windows a test leaves behind.
struct Fresh {
    Fresh()
    {
        received().clear();
        answer() = nullptr;
    }
    ~Fresh()
    {
        answer() = nullptr;
        for (HWND window : win::toplevelwindows())
            DestroyWindow(window);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT) { }
        received().clear();
    }
};

} // namespace wintest
