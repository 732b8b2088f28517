#pragma once

// The input handler: modal input on a view, and the one event-pump step of every loop of the
// program. While attached to a view device it takes the device's window messages in place of the
// device's default handling, records the buttons, the modifiers and where the pointer and the
// editing cursor are, and turns the messages into calls of small virtual handlers that the input
// loops override. While it runs a pump step it is the process input handler: the process's filter
// passes it every message first (translate), so that keys reach the view during a loop.
//
// Handlers stack on a device (each keeps the one it replaced) and are detached in reverse order.
// A step that starts another loop from inside a handler nests: the inner step installs itself over
// the outer one and gives it back when it returns.
//
// The pump is the main loop's and lives here; what works on the attached view (attach, the
// device's messages, the filter's key routing, reset) is defined beside the view device, in
// framework/views/viewinput.cpp, since the views stand on the module windows that own a handler.

#include "platform/ombrel/point.h"
#include "platform/win/handletypes.h"
#include "platform/win/messageparams.h"
#include "platform/win/scalars.h"
#include "platform/win/structs.h"

class APPLNVIEWDVC;
class APPLNWINDOW;

// The key query sent to the focus window for a key-down: wParam the key code, lParam the MSG.
// Answers: 0 not wanted, 1 deliver to the answering window, 2 to 4 handled.
constexpr UINT WM_KEYQUERY = 0x509;

class INPUTHANDLER {
public:
    INPUTHANDLER() = default;
    INPUTHANDLER(const INPUTHANDLER&) = delete;
    INPUTHANDLER& operator=(const INPUTHANDLER&) = delete;
    // Gives the device back the handler it had before, when attached.
    virtual ~INPUTHANDLER();

    // Detaches first; with a device, becomes its input handler (keeping the one it had), updates
    // its window at once and resets from what the device shows.
    virtual void attach(APPLNVIEWDVC* device);
    // Gives the device back the handler it had before and forgets it; nothing when not attached.
    virtual void detach();
    // The process filter: non-zero when the message is consumed (not dispatched); the message's
    // window may be replaced by the window a key goes to.
    virtual int translate(MSG* message);
    // Sees every filtered message first; 0 swallows it.
    virtual long hookhlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) { return 1; }
    // The device's window messages while attached.
    virtual long msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Whether the handler wants a key; 0 when not.
    virtual long wantkey(unsigned long key, MSG* message) { return 0; }
    // The final editing cursor for a pointer move (the view host's snapfunc).
    virtual int snapfunc(unsigned short* snapped, POINT* points, unsigned long* shape);
    // Draws the handler's cursor figure at the point in the colour; nothing in the base.
    virtual void drawcursor(POINT at, unsigned long colour) { }
    // Writes the status line; the base asks for the move notifications to be sent.
    virtual void updatestatus(APPLNWINDOW* window) { statusrefresh = 1; }
    virtual void onmovepointer(POINT from, POINT to) { }
    virtual void onmovecursor(POINT from, POINT to) { }
    // Button handlers: non-zero when taken (the message result is then answered).
    virtual int onlbuttondown() { return 1; }
    virtual int onlbuttonup() { return 1; }
    virtual int onrbuttondown() { return 1; }
    virtual int onrbuttonup() { return 1; }
    virtual int onmbuttondown() { return 1; }
    virtual int onmbuttonup() { return 1; }
    // Key handlers: non-zero when taken; 0 in the base.
    virtual int onkeydown(unsigned long key) { return 0; }
    virtual int onkeyup(unsigned long key) { return 0; }
    virtual int oncommand(unsigned short id) { return 0; }

    // One step of the thread's event dispatcher, waiting for an event when wait is set, with this
    // handler as the process input handler. 1 when events were processed; 0 without a dispatcher.
    int getmessage(int wait);
    // The message form: one message in first..last of any window of the thread, dispatched
    // unless the filter consumes it; what GetMessageA (wait) or PeekMessageA answered.
    int getmessage(int wait, unsigned first, unsigned last);
    void waitmessage() { getmessage(1); }
    // Pump until the left or the right button is down, or until neither is.
    void waitpress();
    void waitrelease();
    // Wakes a waiting step of the dispatcher.
    void interrupt();
    // Whether messages wait in the thread's queue.
    int ismessagepending();
    // Records the buttons, modifiers, pointer and cursor as they are now (see inputhandler.cpp).
    void reset();
    // The modifiers recorded (0x1000 Shift, 0x2000 Ctrl, 0x4000 Alt), and as they are now.
    unsigned getshiftkeys() const;
    static unsigned getshiftkeysasync();
    int isbusy() const { return busy; }
    APPLNVIEWDVC* getdevice() const { return device; }
    int islbuttondown() const { return leftdown; }
    int isrbuttondown() const { return rightdown; }
    int ismbuttondown() const { return middledown; }

    // The key code of a key-down message: the virtual key, 0x11000 with Shift, 0x22000 with Ctrl,
    // 0x44000 with Alt, 0x100 for extended keys (always for the page, home, end, arrow, insert
    // and delete keys; never for Enter).
    static unsigned long keycode(const MSG& message);

protected:
    void setmsgresult(long result) { msgresult = result; }

    int leftdown = 0;
    int rightdown = 0;
    int middledown = 0;
    int ctrldown = 0;
    int shiftdown = 0;
    int altdown = 0;
    POINT pointerpos; // world units, as the device last reported them
    POINT cursorpos; // the snapped editing cursor
    INPUTHANDLER* previous = nullptr; // the device's handler before attach
    APPLNVIEWDVC* device = nullptr; // not owned
    long msgresult = 0;
    int busy = 0;
    int statusrefresh = 0;

private:
    // Records a modifier's key going down; false for an auto-repeat of one already down.
    bool modifierdown(WPARAM key);
    // After the device handled a pointer move: the move notifications for what changed.
    void notifymoves();
};
