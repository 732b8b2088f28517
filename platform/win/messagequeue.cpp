#include "platform/win/messagequeue.h"

#include <algorithm>
#include <atomic>

#include "platform/win/backend.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/system.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace win {
namespace {

std::atomic<MessageFilter> filter { nullptr };

struct Match {
    HWND window; // null: any; (HWND)-1: thread messages only
    UINT first;
    UINT last;

    bool operator()(const MSG& message) const
    {
        if (window == reinterpret_cast<HWND>(-1)) {
            if (message.hwnd) {
                return false;
            }
        } else if (window && message.hwnd != window) {
            return false;
        }
        return (first == 0 && last == 0) || (message.message >= first && message.message <= last);
    }
};

bool ismouse(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool isbuttondown(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

void setkey(ThreadQueue& queue, int key, bool down)
{
    BYTE& state = queue.keys[key & 0xff];
    if (down && !(state & 0x80)) {
        state ^= 0x01;
    }
    state = static_cast<BYTE>(down ? (state | 0x80) : (state & ~0x80));
}

// The keyboard state follows the input as it is retrieved.
void trackkeys(ThreadQueue& queue, const MSG& message)
{
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        setkey(queue, static_cast<int>(message.wParam), true);
        setkey(queue, VK_MENU, message.message == WM_SYSKEYDOWN && (message.lParam & KF_ALTDOWN_BIT));
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        setkey(queue, static_cast<int>(message.wParam), false);
        return;
    default:
        break;
    }
    if (!ismouse(message.message)) {
        return;
    }
    if (message.message != WM_MOUSEWHEEL && message.message != WM_MOUSEHWHEEL) {
        WPARAM keys = message.wParam;
        setkey(queue, VK_LBUTTON, keys & MK_LBUTTON);
        setkey(queue, VK_RBUTTON, keys & MK_RBUTTON);
        setkey(queue, VK_MBUTTON, keys & MK_MBUTTON);
        setkey(queue, VK_SHIFT, keys & MK_SHIFT);
        setkey(queue, VK_CONTROL, keys & MK_CONTROL);
    }
}

// What the system does with a mouse message as it is retrieved: WM_MOUSEACTIVATE for a press in
// an inactive window, WM_SETCURSOR to the window under the pointer. Answers false when the
// message is to be dropped.
bool preparemouse(const QueuedMessage& queued)
{
    const MSG& message = queued.message;
    HWND target = message.hwnd;
    if (queued.hittest == HTERROR) {
        SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
            MAKELPARAM(static_cast<WORD>(HTERROR), message.message));
        return false;
    }
    if (!IsWindow(target)) {
        return false;
    }
    if (isbuttondown(message.message)) {
        HWND root = GetAncestor(target, GA_ROOT);
        auto rootwindow = windowref(root);
        if (rootwindow && root != GetActiveWindow() && !(rootwindow->exstyle & WS_EX_NOACTIVATE)) {
            LRESULT answer = SendMessageA(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root),
                MAKELPARAM(HTCLIENT, message.message));
            if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && IsWindow(root)) {
                SetActiveWindow(root);
            }
            if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT) {
                return false;
            }
        }
    }
    if (!GetCapture() && IsWindow(target) && message.message != WM_MOUSEWHEEL
        && message.message != WM_MOUSEHWHEEL) {
        SendMessageA(
            target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, message.message));
    }
    return IsWindow(target);
}

bool timerdue(ThreadQueue& queue, const Match& match, MSG& message, bool remove)
{
    if (!match(MSG { nullptr, WM_TIMER, 0, 0, 0, {} })
        && !(match.window && match.window != reinterpret_cast<HWND>(-1))) {
        return false;
    }
    auto now = std::chrono::steady_clock::now();
    Timer* due = nullptr;
    for (auto& timer : queue.timers) {
        MSG probe { timer.window, WM_TIMER, 0, 0, 0, {} };
        if (timer.due <= now && match(probe) && (!due || timer.due < due->due)) {
            due = &timer;
        }
    }
    if (!due) {
        return false;
    }
    message = MSG { due->window, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->procedure), GetTickCount(),
        {} };
    GetCursorPos(&message.pt);
    if (remove) {
        due->due = now + std::chrono::milliseconds(due->interval);
    }
    return true;
}

// Takes the first matching message: posted, then input, then a due timer, then the quit request.
bool take(ThreadQueue& queue, MSG& message, const Match& match, bool remove, bool withquit)
{
    for (;;) {
        QueuedMessage found {};
        bool isinput = false;
        bool got = false;
        {
            std::lock_guard lock(queue.mutex);
            queue.seen = queue.arrivals;
            queue.timersseen = std::chrono::steady_clock::now();
            for (auto* list : { &queue.posted, &queue.input }) {
                auto at = std::find_if(
                    list->begin(), list->end(), [&](const QueuedMessage& q) { return match(q.message); });
                if (at == list->end()) {
                    continue;
                }
                found = *at;
                isinput = list == &queue.input;
                if (remove) {
                    list->erase(at);
                }
                got = true;
                break;
            }
        }
        if (got) {
            if (remove && isinput) {
                trackkeys(queue, found.message);
                if (ismouse(found.message.message) && !preparemouse(found)) {
                    continue;
                }
            }
            message = found.message;
            if (remove) {
                queue.last = message;
                queue.character = found.character;
            }
            return true;
        }
        if (timerdue(queue, match, message, remove)) {
            if (remove) {
                queue.last = message;
                queue.character = 0;
            }
            return true;
        }
        if (withquit && queue.quit && (!match.window || match.window == reinterpret_cast<HWND>(-1))) {
            message = MSG { nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitcode), 0, GetTickCount(), {} };
            if (remove) {
                queue.quit = false;
                queue.last = message;
            }
            return true;
        }
        return false;
    }
}

// Milliseconds until a timer falls due that no retrieval has seen due yet; 0 when one is due now,
// -1 when none. A due timer that a peek has already seen does not count again (as with input), so
// waits do not spin on a timer that nobody takes from the queue.
int msuntilnewtimer(const ThreadQueue& queue)
{
    auto next = std::chrono::steady_clock::time_point::max();
    for (const auto& timer : queue.timers) {
        if (timer.due > queue.timersseen) {
            next = std::min(next, timer.due);
        }
    }
    if (next == std::chrono::steady_clock::time_point::max()) {
        return -1;
    }
    auto now = std::chrono::steady_clock::now();
    if (next <= now) {
        return 0;
    }
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()) + 1;
}

bool hasnew(ThreadQueue& queue)
{
    {
        std::lock_guard lock(queue.mutex);
        if (queue.arrivals != queue.seen) {
            return true;
        }
    }
    return queue.quit || msuntilnewtimer(queue) == 0;
}

// Waits for something to arrive, at most `milliseconds` (-1: no limit). Through the backend on
// its thread (the toolkit's dispatcher runs meanwhile), else on the queue's condition.
void waitforarrival(ThreadQueue& queue, int milliseconds)
{
    int timer = msuntilnewtimer(queue);
    if (timer >= 0 && (milliseconds < 0 || timer < milliseconds)) {
        milliseconds = timer;
    }
    if (isbackendthread()) {
        ++queue.waiting;
        bool waited = backend().wait(milliseconds);
        --queue.waiting;
        if (waited) {
            return;
        }
    }
    std::unique_lock lock(queue.mutex);
    uint64_t seen = queue.seen;
    auto arrived = [&] { return queue.arrivals != seen || queue.wakes != queue.wakesseen; };
    if (milliseconds < 0) {
        queue.arrived.wait(lock, arrived);
    } else {
        queue.arrived.wait_for(lock, std::chrono::milliseconds(milliseconds), arrived);
    }
    queue.wakesseen = queue.wakes;
}

// A toolkit loop may have skipped messages and timers while this thread waited in GetMessageA.
void rewake(ThreadQueue& queue)
{
    if (queue.waiting == 0 && isbackendthread() && (hasqueued() || msuntilnexttimer() >= 0)) {
        backend().wake();
    }
}

void enqueue(ThreadQueue& queue, const QueuedMessage& queued, bool isinput)
{
    {
        std::lock_guard lock(queue.mutex);
        (isinput ? queue.input : queue.posted).push_back(queued);
        ++queue.arrivals;
    }
    queue.arrived.notify_all();
    if (queue.thread == backendthread()) {
        backend().wake();
    }
}

uint32_t derivedcharacter(const MSG& message, const BYTE* keys)
{
    auto key = static_cast<int>(message.wParam & 0xff);
    bool shift = keys[VK_SHIFT] & 0x80;
    bool control = keys[VK_CONTROL] & 0x80;
    if (key >= 'A' && key <= 'Z') {
        if (control) {
            return static_cast<uint32_t>(key - 'A' + 1);
        }
        return static_cast<uint32_t>(shift ? key : key - 'A' + 'a');
    }
    if ((key >= '0' && key <= '9' && !shift) || key == VK_SPACE || key == VK_RETURN || key == VK_BACK
        || key == VK_TAB || key == VK_ESCAPE) {
        return static_cast<uint32_t>(key);
    }
    return 0;
}

} // namespace

std::shared_ptr<ThreadQueue> currentqueue()
{
    thread_local auto queue = std::make_shared<ThreadQueue>();
    return queue;
}

MessageFilter setmessagefilter(MessageFilter replacement)
{
    return filter.exchange(replacement);
}

bool offer(MSG& message)
{
    MessageFilter current = filter.load();
    return !(current && current(&message));
}

bool deliver(MSG& message)
{
    if (!offer(message)) {
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

bool deliverqueued()
{
    auto queue = currentqueue();
    if (queue->waiting > 0) {
        return false;
    }
    MSG message;
    if (!take(*queue, message, Match { nullptr, 0, 0 }, true, false)) {
        return false;
    }
    deliver(message);
    return true;
}

bool gettingmessages()
{
    return currentqueue()->waiting > 0;
}

bool hasqueued()
{
    auto queue = currentqueue();
    {
        std::lock_guard lock(queue->mutex);
        if (!queue->posted.empty() || !queue->input.empty()) {
            return true;
        }
    }
    return msuntilnexttimer() == 0;
}

int msuntilnexttimer()
{
    auto queue = currentqueue();
    if (queue->timers.empty()) {
        return -1;
    }
    auto now = std::chrono::steady_clock::now();
    auto next
        = std::min_element(queue->timers.begin(), queue->timers.end(), [](const Timer& a, const Timer& b) {
              return a.due < b.due;
          })->due;
    if (next <= now) {
        return 0;
    }
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()) + 1;
}

void wakequeue(ThreadQueue& queue)
{
    {
        std::lock_guard lock(queue.mutex);
        ++queue.wakes;
    }
    queue.arrived.notify_all();
    if (queue.thread == backendthread()) {
        backend().wake();
    }
}

void enqueueinput(const MSG& message, uint32_t character, int hittest)
{
    auto queue = currentqueue();
    enqueue(*queue, QueuedMessage { message, character, hittest }, true);
}

LRESULT callprocedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!procedure) {
        return 0;
    }
    auto queue = currentqueue();
    int waiting = queue->waiting;
    queue->waiting = 0;
    LRESULT result = procedure(window, message, wParam, lParam);
    queue->waiting = waiting;
    return result;
}

} // namespace win

using namespace win;

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto window = windowref(handle);
    if (!window || window->queue->thread != std::this_thread::get_id()) {
        return 0;
    }
    return callwindow(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::shared_ptr<ThreadQueue> queue;
    if (handle) {
        auto window = windowref(handle);
        if (!window) {
            return FALSE;
        }
        queue = window->queue;
    } else {
        queue = currentqueue();
    }
    MSG queued { handle, message, wParam, lParam, GetTickCount(), {} };
    GetCursorPos(&queued.pt);
    enqueue(*queue, QueuedMessage { queued, 0, HTCLIENT }, false);
    return TRUE;
}

BOOL PostThreadMessageA(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageA(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int code)
{
    auto queue = currentqueue();
    queue->quit = true;
    queue->quitcode = code;
    wakequeue(*queue);
}

BOOL GetMessageA(MSG* message, HWND handle, UINT first, UINT last)
{
    auto queue = currentqueue();
    const bool forwindow = handle && handle != reinterpret_cast<HWND>(-1);
    for (;;) {
        if (forwindow && !IsWindow(handle)) {
            return -1;
        }
        if (take(*queue, *message, Match { handle, first, last }, true, true)) {
            rewake(*queue);
            return message->message == WM_QUIT ? FALSE : TRUE;
        }
        waitforarrival(*queue, -1);
    }
}

BOOL PeekMessageA(MSG* message, HWND handle, UINT first, UINT last, UINT remove)
{
    auto queue = currentqueue();
    if (handle && handle != reinterpret_cast<HWND>(-1) && !IsWindow(handle)) {
        return FALSE;
    }
    return take(*queue, *message, Match { handle, first, last }, remove & PM_REMOVE, true) ? TRUE : FALSE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds, DWORD)
{
    if (count != 0) {
        return WAIT_FAILED;
    }
    auto queue = currentqueue();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (hasnew(*queue)) {
            return WAIT_OBJECT_0;
        }
        int left = -1;
        if (milliseconds != INFINITE) {
            auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (remaining.count() <= 0) {
                return WAIT_TIMEOUT;
            }
            left = static_cast<int>(remaining.count());
        }
        waitforarrival(*queue, left);
    }
}

BOOL TranslateMessage(const MSG* message)
{
    if (!message || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    auto queue = currentqueue();
    uint32_t character = queue->last.hwnd == message->hwnd && queue->last.message == message->message
            && queue->last.wParam == message->wParam && queue->last.lParam == message->lParam
        ? queue->character
        : 0;
    if (!character) {
        character = derivedcharacter(*message, queue->keys);
    }
    if (!character) {
        return FALSE;
    }
    UINT chartype = message->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    return PostMessageA(message->hwnd, chartype, character, message->lParam);
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (!message) {
        return 0;
    }
    if (message->message == WM_TIMER && message->lParam) {
        auto procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        procedure(message->hwnd, WM_TIMER, message->wParam, message->time);
        return 0;
    }
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

DWORD GetMessagePos()
{
    auto queue = currentqueue();
    return MAKELONG(static_cast<WORD>(queue->last.pt.x), static_cast<WORD>(queue->last.pt.y));
}

LONG GetMessageTime()
{
    return static_cast<LONG>(currentqueue()->last.time);
}
