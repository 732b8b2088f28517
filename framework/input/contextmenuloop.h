#pragma once

// A context menu over a view, shown as a modeless popup so that the keys of the menu's command
// contexts stay live while it is up: a key bound in one of them runs its command and closes the
// menu. A press outside the menu closes it too and goes on to the view, unless a command is set for
// that button and the press is on the object the menu is about (then that command is the choice).
// Built on the stack and run once:
//     CONTEXTMENULOOP loop(host, contexts);
//     unsigned short id = loop.run(device, menu); // 0: dismissed

#include "platform/ombrel/gslist.h"
#include "framework/appln/inputhandler.h"

class APPLNOBJECT;
class APPLNVIEWHOST;

class CONTEXTMENULOOP : public INPUTHANDLER {
public:
    CONTEXTMENULOOP(APPLNVIEWHOST* host, GSLIST<unsigned short>& contexts);

    void setlbuttoncmd(unsigned short id) { lbuttoncmd = id; }
    void setrbuttoncmd(unsigned short id) { rbuttoncmd = id; }
    // Shows the menu just above the pointer and answers the command chosen, 0 when none.
    unsigned short run(APPLNVIEWDVC* device, HMENU menu);

    // A release over the menu's first item, armed by the press that opened it, chooses it.
    long hookhlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    long msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    long wantkey(unsigned long key, MSG* message) override;
    void onmovecursor(POINT from, POINT to) override { moved = 1; }
    int onlbuttondown() override;
    int onrbuttondown() override;
    // Escape closes the menu; every key is taken.
    int onkeydown(unsigned long key) override;
    int oncommand(unsigned short id) override;

private:
    // A press closes the menu; on the menu's object it chooses the button's command.
    int onpress(unsigned short command);
    // The status bar's hint for a highlighted item, from the first context that has one.
    void showhint(unsigned short item);

    APPLNVIEWHOST* host;
    APPLNOBJECT* ctxobject = nullptr; // what the menu is about
    GSLIST<unsigned short>& contexts;
    HMENU popup = nullptr; // the one open now
    unsigned short lbuttoncmd = 0;
    unsigned short rbuttoncmd = 0;
    unsigned short chosen = 0;
    unsigned short armed = 0;
    int moved = 0;
    int closed = 0;
};
