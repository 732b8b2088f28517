#pragma once

// The input handler's share that the main loop turns on: the one event-pump step of every loop
// of the program, the filter through which the process passes each message while the handler is
// the process input handler, and the recorded button and modifier state. Attaching to a view and
// the handlers of the view's input come with the editing framework's input loops.

#include "platform/win/structs.h"
#include "platform/win/scalars.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"

// The key query sent to the focus window for a key-down: wParam the key code, lParam the MSG.
// Answers: 0 not wanted, 1 deliver to the answering window, 2 to 4 handled.
constexpr UINT WM_KEYQUERY = 0x509;

class INPUTHANDLER {
public:
    INPUTHANDLER() = default;
    INPUTHANDLER(const INPUTHANDLER&) = delete;
    INPUTHANDLER& operator=(const INPUTHANDLER&) = delete;
    virtual ~INPUTHANDLER() = default;

    // The process filter: non-zero when the message is consumed (not dispatched); the message's
    // window may be replaced by the window a key goes to.
    virtual int translate(MSG* message);
    // Sees every filtered message first; 0 swallows it.
    virtual long hookhlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return 1; }
    // Whether the handler wants a key; 0 when not.
    virtual long wantkey(unsigned long key, MSG* message) { return 0; }

    // One step of the thread's event dispatcher, waiting for an event when wait is set, with this
    // handler as the process input handler. 1 when events were processed; 0 without a dispatcher.
    int getmessage(int wait);
    // The message form: one message in first..last of any window of the thread, dispatched
    // unless the filter consumes it; what GetMessageA (wait) or PeekMessageA answered.
    int getmessage(int wait, unsigned first, unsigned last);
    void waitmessage() { getmessage(1); }
    // Wakes a waiting step of the dispatcher.
    void interrupt();
    // Records the buttons and modifiers as the keyboard state has them now.
    void reset();
    // The modifiers recorded (0x1000 Shift, 0x2000 Ctrl, 0x4000 Alt), and as they are now.
    unsigned getshiftkeys() const;
    static unsigned getshiftkeysasync();
    int isbusy() const { return busy; }

    // The key code of a key-down message: the virtual key, 0x11000 with Shift, 0x22000 with Ctrl,
    // 0x44000 with Alt, 0x100 for extended keys (always for the page, home, end, arrow, insert
    // and delete keys; never for Enter).
    static unsigned long keycode(const MSG& message);

protected:
    int leftdown = 0;
    int rightdown = 0;
    int middledown = 0;
    int ctrldown = 0;
    int shiftdown = 0;
    int altdown = 0;
    int busy = 0;
};
