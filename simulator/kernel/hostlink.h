#pragma once

#include "platform/win/hostlink.h"

#include <string>
#include <vector>

// How the kernel reaches the host's windows. The host's window handle belongs to the host's copy of
// the platform layer (the shared core library), not to the kernel's private copy, so the kernel
// calls that copy's windows through the table it exports as win_hostlink, looked up by name through
// the dynamic loader at every sign-on. In a process without the shared platform layer (the
// kernel's own tests, a host of another make) the kernel uses a recorder instead: it keeps every
// message sent, answers 0, and takes every non-null handle for a live window of this process.

// The messages to the host window.
constexpr UINT WM_HOSTTEXT = 0x570;     // lParam: the text (interactive run); as WM_COPYDATA in a batch run
constexpr UINT WM_HOSTEVENTS = 0x571; // lParam: the tick's DPA of ACTIVEEVENT pointers; wParam: the
                                      // tick's table of the addresses their ids stand for (activeevent.h)
constexpr UINT WM_HOSTPOPUP = 0x572;    // watch popups; the result is the host's interface
constexpr UINT WM_HOSTELEMENT = 0x573;  // wParam: element number, lParam: the message argument
constexpr UINT WM_HOSTMESSAGE = 0x580;  // wParam: the value; the result goes back to the model

// The table in use; never null.
const HOSTLINK& hostlink();
// Looks the host's table up again (the sign-on does so); the recorder when there is none.
void resolvehostlink();
// Uses the given table until the next call (null: look it up again).
void sethostlink(const HOSTLINK* link);

// What the recorder was sent, oldest first; texts of 0x570 and WM_COPYDATA are copied.
struct RECORDEDHOSTMESSAGE {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    std::string text;
};
std::vector<RECORDEDHOSTMESSAGE>& recordedhostmessages();

// Formats at most 1023 characters and sends them to the host window: message 0x570 in an
// interactive run, WM_COPYDATA with the data word 0x570 (byte count: length + 1) in a batch run.
// Nothing without a host window. Returns the length sent, -1 when nothing was sent.
int hostprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Sends a message to the host window in an interactive run; 0 (nothing sent) in a batch run or
// without a host window.
LRESULT sendhostmessage(UINT message, WPARAM wParam, LPARAM lParam);
