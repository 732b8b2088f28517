#pragma once

// The layer's own records of classes, windows and thread queues. Used by the layer and its
// backend; the ported code goes through the calls of window.h and messagequeue.h.
// Callers: the window layer and its Qt backend.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

namespace win {

struct WindowClass {
    ATOM atom = 0;
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int windowbytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallicon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct QueuedMessage {
    MSG message;
    uint32_t character; // text of a key press, for TranslateMessage
    int hittest; // HTERROR: a click on a disabled window, only WM_SETCURSOR is sent
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT interval;
    TIMERPROC procedure;
    std::chrono::steady_clock::time_point due;
};

// One thread's messages and input state.
struct ThreadQueue {
    std::thread::id thread = std::this_thread::get_id();

    // Guarded by mutex: written by any thread.
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<QueuedMessage> posted;
    std::deque<QueuedMessage> input;
    uint64_t arrivals = 0; // counts messages ever queued; a wait for messages waits for a change
    uint64_t wakes = 0; // counts wake-ups without a message (a window died)
    uint64_t wakesseen = 0;

    // The owning thread's own state.
    uint64_t seen = 0; // arrivals at the last retrieval
    std::chrono::steady_clock::time_point timersseen {}; // timers due by then were seen by a retrieval
    bool quit = false;
    int quitcode = 0;
    std::vector<Timer> timers;
    UINT_PTR nexttimerid = 0x7FFF0000;
    int waiting = 0; // GetMessageA waits in progress at the current dispatch level
    MSG last {}; // the message last retrieved
    uint32_t character = 0; // the text of `last` when it is a key press
    BYTE keys[256] {};
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    HWND tracking = nullptr; // the window that asked for WM_MOUSELEAVE
    HWND pointerwindow = nullptr; // the window the pointer was last over
};

std::shared_ptr<ThreadQueue> currentqueue();

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowclass;
    std::shared_ptr<ThreadQueue> queue;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exstyle = 0;
    HWND parent = nullptr; // the parent of a child window
    HWND owner = nullptr; // the owner of a top-level window
    std::vector<HWND> children; // topmost first
    UINT_PTR id = 0;
    HMENU menu = nullptr; // the menu bar of a top-level window
    HINSTANCE instance = nullptr;
    std::string text;
    RECT rect {}; // a child's in its parent's client coordinates; a top-level's on the screen
    RECT normalrect {}; // the restored rectangle while minimised or maximised
    tagPOINT minposition { -1, -1 };
    tagPOINT maxposition { -1, -1 };
    bool restoretomaximized = false;
    std::vector<BYTE> bytes; // the class's extra window bytes
    LONG_PTR userdata = 0;
    std::vector<std::pair<std::string, HANDLE>> properties;
    HWND lastactivepopup = nullptr;
    HICON bigicon = nullptr;
    HICON smallicon = nullptr;
    struct Subclass {
        LRESULT (*procedure)(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
        UINT_PTR id;
        DWORD_PTR data;
    };
    std::vector<Subclass> subclasses; // the one set last comes last
    RECT update {}; // bounding box of the area to repaint; empty when valid
    bool updateerase = false;
    bool destroying = false;
    void* native = nullptr; // the backend's object
};

using WindowRef = std::shared_ptr<Window>;

// Calls the window's subclasses and procedure, as sending or dispatching a message does.
LRESULT callwindow(const WindowRef& window, UINT message, WPARAM wParam, LPARAM lParam);

// The live window of a handle; null for a dead handle.
WindowRef windowref(HWND handle);
// The class of that name (ignoring ASCII case) or atom; null when unknown.
std::shared_ptr<WindowClass> findclass(LPCSTR name);
// Top-level windows, topmost first.
std::vector<HWND> toplevelwindows();
void settoplevelorder(const std::vector<HWND>& order);

// Client-area insets: the menu bar of a top-level window, the border of a bordered window.
RECT clientinsets(const Window& window);
// The window's client area origin on the screen.
tagPOINT clientorigin(const Window& window);
// The window's rectangle on the screen.
RECT screenrect(const Window& window);
// The size limits of a top-level window: the defaults as the window's WM_GETMINMAXINFO leaves them.
MINMAXINFO minmaxinfo(HWND window);
// The height of a menu bar line.
int menubarheight();

bool isempty(const RECT& rect);
RECT unite(const RECT& a, const RECT& b);
RECT intersect(const RECT& a, const RECT& b);
bool contains(const RECT& rect, tagPOINT point);

// Calls the window's procedure as the thread's dispatch does: a GetMessageA wait in progress
// does not hold back the queue for loops the procedure runs.
LRESULT callprocedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Queues user input on the calling thread's queue.
void enqueueinput(const MSG& message, uint32_t character, int hittest);
// The thread that installed the backend.
std::thread::id backendthread();
// Records where the toolkit saw the pointer, and the key state it reported.
void setpointer(tagPOINT screen);
void setasynckey(int virtualkey, bool down);

// The default erasing of WM_ERASEBKGND: fills the client area with the class's brush. Answers
// whether it erased.
LRESULT erasebackground(HWND window, HDC dc);

// Removes the window's timers; called when it is destroyed.
void killtimers(HWND window);
// Drops focus, activation and capture held by a dying window or its descendants.
void forgetinput(HWND window);
// Wakes every wait of the window's thread (a window died, a modal loop may end).
void wakequeue(ThreadQueue& queue);

} // namespace win
