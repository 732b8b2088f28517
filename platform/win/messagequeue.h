#pragma once

// Messages: send, post, the per-thread queue and its get/peek/dispatch pump, timers.
//
// Each thread has one queue. Posted messages come before user input, input before timers.
// GetMessageA waits through the layer's backend, which runs the GUI toolkit's event dispatcher
// (see backend.h), so waits nest inside modal loops. When the toolkit's own loop runs instead,
// the backend takes queued messages one at a time and hands them to win::deliver, which passes
// each first through the process's message filter.
// Callers: the main loop, process, frames, module and windows (framework), BASEWIN (tirsk), process support
// (core), the simulation host.

#include <cstdint>

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/messages.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"
#include "platform/win/waitcodes.h"

// Calls the window procedure at once, on the window's own thread. 0 for a dead handle or when
// called from another thread.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the window's thread; safe from any thread. A null window posts a
// message for the calling thread. FALSE for a dead handle.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(UINT message, WPARAM wParam, LPARAM lParam); // to the calling thread
// Asks the calling thread's GetMessageA to answer 0 once the queue has been emptied.
void PostQuitMessage(int code);

// Retrieves the next message for `window` (null: any window of the thread and thread messages)
// whose id lies in first..last (0, 0: all), waiting when there is none. Answers 0 for WM_QUIT,
// -1 when `window` is not a live window or dies during the wait, else 1.
BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last);
// As GetMessageA without waiting: FALSE when nothing matches. PM_REMOVE takes the message.
BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT remove);
// With no handles: waits at most `milliseconds` (0xFFFFFFFF = no limit) for a message.
// Answers WAIT_OBJECT_0 when a message is there, WAIT_TIMEOUT when the time ran out,
// WAIT_FAILED for a non-empty handle list.
DWORD MsgWaitForMultipleObjects(
    DWORD count, const HANDLE* handles, BOOL waitall, DWORD milliseconds, DWORD wakemask);
constexpr DWORD QS_ALLINPUT = 0x04FF;

// Posts WM_CHAR / WM_SYSCHAR for a key-down that carries a character. TRUE when it posted.
BOOL TranslateMessage(const MSG* message);
// Calls the message's window procedure (or the TIMERPROC of a WM_TIMER that names one); answers
// its result, 0 for a dead window.
LRESULT DispatchMessageA(const MSG* message);
LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The default handling of every message a window procedure does not handle itself.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Screen position of the pointer and time of the message last retrieved, packed as Windows does.
// Callers to come of the position: the view device, whose Enter key clicks where the pointer is
// (issue 55).
DWORD GetMessagePos();
LONG GetMessageTime();

// Timers: WM_TIMER (wParam = id, lParam = the TIMERPROC) for the window when the timer is due
// and nothing else is queued. Setting an id again restarts it. With a null window the id is
// chosen and answered. 0 on failure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

namespace win {

// The process's message filter: sees every message the toolkit's loop takes from the queue and
// every toolkit event the layer turns into a message, before it is dispatched. It may change the
// message (retarget it by setting hwnd) and answers non-zero to consume it.
using MessageFilter = BOOL (*)(MSG* message);
MessageFilter setmessagefilter(MessageFilter filter); // answers the previous filter

// Passes a message that stands for a toolkit event (a resize, an activation) through the filter
// before the layer acts on it. False when the filter consumed it; the filter may change it.
bool offer(MSG& message);

// Filters, then translates and dispatches the message unless the filter consumed it.
// Answers whether it was dispatched.
bool deliver(MSG& message);

// One step of the toolkit's loop: takes one message (no WM_QUIT) from the calling thread's queue
// and delivers it. False when nothing was due, or while a GetMessageA of this thread is waiting
// at the same level (it takes its messages itself).
bool deliverqueued();
// Whether the calling thread's queue holds a message or a due timer.
bool hasqueued();
// Whether a GetMessageA of the calling thread is waiting at the current dispatch level (it then
// takes the messages and keeps the time of the timers itself).
bool gettingmessages();
// Milliseconds until the calling thread's next timer is due, -1 when it has none.
int msuntilnexttimer();

// User input for the calling thread, as the toolkit reports it. Mouse messages are routed to the
// capture window or the window under the screen point (starting from `hint`, a window the
// toolkit saw the event in), with client coordinates filled in; a double click becomes a press
// for classes without CS_DBLCLKS. Key messages go to the focus window, else to the active window
// (as WM_SYSKEY*). `character` is the text of a key press (0 when none) for TranslateMessage.
void postmouse(UINT message, tagPOINT screen, WPARAM keys, short wheeldelta, HWND hint);
void postkey(UINT message, WPARAM virtualkey, LPARAM keydata, uint32_t character);

} // namespace win
