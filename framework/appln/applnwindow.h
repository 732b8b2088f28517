#pragma once

// A module window: a child window inside a frame, owned by one module and working in that
// module's context. It carries its own menu bar, toolbars and other control bars (docked into the
// frame's rebars while it is the active window), a status bar and an error handler, and turns its
// messages into calls of its virtual operations; commands, keys, hints, tooltips and help go on to
// the owning module. Its native window is bound in window word 0; the window object itself is
// deleted by its owner (the frame, when the window sends it WM_CLOSETAB with its own handle).
//
// Messages handled beside the standard ones (windowmessages.h): WM_COMMANDHINT, WM_COMMANDTIP,
// WM_KEYQUERY (answers 0, or 4 when the module took the key), WM_HELPREQUEST, WM_GETAPPLNCONTEXT,
// WM_GETWINDOWFONT, WM_GETDIALOGHANDLE, WM_EXCHANGEDIALOGHANDLE and WM_STATUSTEXT. A WM_COPYDATA
// payload becomes a WM_STATUSTEXT when it is one (dwData 0x570) with its text terminated inside
// its size; every other payload is ignored, since its sender could make it any message.

#include <memory>

#include "core/containers/dpa.h"
#include "framework/appln/errorhandler.h"
#include "framework/context/interfaces.h"
#include "platform/tirsk/basewin.h"
#include "platform/win/rc/cmdflags.h"

class APPLNMENU;
class APPLNMODULE;
class CMDINFOTABLE;
class CTRLBAR;
class KEYTRANSLATOR;
class QWidget;
class STATUSBAR;
class TOOLBAR;
struct TBBUTTON;
namespace XML {
class ELEMENT;
}

class APPLNWINDOW : public BASEWIN, public ICMDTARGET, public IMENUOWNER {
public:
    static constexpr int CAPTIONLENGTH = 1024;
    // The child id of the window's status bar.
    static constexpr unsigned STATUSBARID = 3;

    APPLNWINDOW();
    // Releases both bar lists (the bars go with the native window).
    ~APPLNWINDOW() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Shows the window as its frame's active one: its context current, and unless it was the
    // active one already, its menu bar on the frame and its bars docked in the frame's rebars.
    virtual void activate(APPLNWINDOW* previous);
    // The window's Qt widget when it hosts one; null in the base.
    virtual QWidget* getqtwidget() { return nullptr; }
    // The owner module's.
    virtual CMDINFOTABLE* getcmdinfotable();
    virtual KEYTRANSLATOR* getkeytranslator();
    virtual const char* getregistrykey();
    // "%s - %s" of the process's frame caption and this window's caption, into buffer; buffer.
    virtual char* getframecaption(char* buffer);
    // The window text (at most 1023 characters) in the window's caption buffer.
    virtual char* getcaption();
    virtual HICON geticon(unsigned kind);
    // Creates the native child window in the frame's area for module windows, titled with the
    // owner's title, with its menu bar, font, icon and status bar, and adds the window to its
    // module and its frame; the window handle, null without frame or owner or when it cannot be
    // made.
    virtual HWND createwindow(APPLNFRAME* parent);
    // Leaves frame and module and frees the native window and what goes with it; nothing more
    // when already gone.
    virtual void destroywindow();
    // Whether the window may be closed by its tab's close button; 1 in the base.
    virtual int canbeclosed() { return 1; }
    // Whether the window agrees to close now; 1 in the base.
    virtual int queryclose() { return 1; }
    // A status bar owned by the window, docked at the bottom.
    virtual void createstatusbar();
    // The icon resource of the graphics module at the large and the small icon size.
    virtual void seticon(const char* name);
    // The command context of the window's commands, keys and hints; a menu bar gets that
    // context's images and key names.
    virtual void setcmdctx(unsigned short context);
    virtual const char* getwindowtype() { return "default"; }
    // The window's part of a saved workspace; nothing in the base.
    virtual void loadsettings(XML::ELEMENT& element) { }
    virtual void savesettings(XML::ELEMENT& element) { }

    // Event hooks; nothing in the base unless said.
    virtual void oncreatewindow() { }
    virtual void ondestroywindow() { }
    virtual void onframechanged() { }
    virtual void onactivate(int state, int minimized) { }
    virtual void onactivate() { }
    virtual void onresize(int width, int height) { }
    virtual void onreposition() { }
    virtual void onrepaint(HDC dc, PAINTSTRUCT& paint) { }
    // WM_CLOSE: the base destroys the window.
    virtual void onclose() { destroywindow(); }
    // Non-zero when the key became a command (the owner module's onwantkey).
    virtual int onwantkey(unsigned long key, MSG* message);
    virtual int onkeydown(unsigned long key) { return 0; }
    virtual int onkeyup(unsigned long key) { return 0; }
    // The owner module's oncommand.
    virtual void oncommand(unsigned short id);
    virtual void oncontextmenu(HWND window, int x, int y) { }
    // The frame's WM_SETCURSOR: over the frame, the status bar or this window the hint stays
    // and the status bar keeps its message; elsewhere it is reset.
    virtual void onframesetcursor(HWND over);

    // The owner's context, and the owner's command handling.
    MODULECONTEXT* getapplncontext() override;
    int docommand(unsigned short id) override;
    int getuistate(unsigned short id, UISTATE* state) override;
    void oninitmenu() override { }
    // The window's menu bar brings the popup up to date.
    void oninitmenupopup(int index, HMENU popup) override;

    // Makes the window its frame's active window, restoring a minimised frame first.
    void activate();
    // Shown: in a frame that is not minimised, as its active window.
    int isvisible();
    // The owning module; its context becomes the window's.
    void setowner(APPLNMODULE* module);
    // Moves the native window into the frame, from the frame it was in (and its tabs).
    void setparent(APPLNFRAME* parent);
    APPLNFRAME* getparentframe() const { return frame; }
    APPLNMODULE* getparentmodule() const { return owner; }
    STATUSBAR* getstatusbar() const { return statusbar; }
    unsigned short getcmdctx() const { return cmdctx; }
    APPLNERRORHANDLER* geterrorhandler() { return &errorhandler; }
    APPLNMENU* getmenubar() const { return menubar.get(); }
    HFONT getfont() const { return font; }

    // A toolbar owned by the window in the window's command context, appended to its toolbars.
    TOOLBAR* addtoolbar(
        unsigned id, const char* title, const char* bitmap, const TBBUTTON* buttons, int count);
    // Keeps the bar with its side and position for docking when the window is activated.
    void addctrlbar(CTRLBAR* bar, int side, int position);
    // Takes the bar out of the frame's rebars and out of the window's bars.
    void removectrlbar(CTRLBAR* bar);
    // A child id for a new bar: 0x2000 and the number of control bars.
    unsigned getnextctrlbarid() const { return 0x2000 + static_cast<unsigned>(ctrlbars.count); }
    int numtoolbars() const { return toolbars.count; }
    TOOLBAR* gettoolbar(int i) const { return toolbars.ptr(i); }
    int numctrlbars() const { return ctrlbars.count; }
    CTRLBAR* getctrlbar(int i) const { return ctrlbars.ptr(i); }

    // Status texts (nothing without a status bar): a status message, an information message that
    // resists resets for three seconds, clearing a message that is neither information nor error,
    // resetting the bar (forgetting the last hint with a non-zero flag), and the boxes of tabbed
    // messages: the layout letters followed by one width (int) for every letter after the first.
    void setstatusmsg(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void setinfomsg(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void clearstatusmsg();
    void resetstatusmsg(int clearhint);
    void setstatustabs(const char* layout, ...);

    // Hints on the status bar: of a command in the window's context or a given one, or a text.
    void sethint(unsigned short id);
    void sethint(unsigned short context, unsigned short id);
    void sethint(const char* text);
    void clearhint();
    void clearlasthint() { lasthintcontext = lasthintcommand = 0; }

    // The frame's tooltip for a control: a command's tip text in the window's or a given
    // context, or a text; without a text the tip is hidden.
    void settooltip(HWND control, unsigned short id);
    void settooltip(HWND control, unsigned short context, unsigned short id);
    void settooltip(HWND control, const char* text);

protected:
    APPLNFRAME* frame = nullptr; // holds the window; null outside createwindow..destroywindow
    APPLNMODULE* owner = nullptr;
    MODULECONTEXT* applncontext = nullptr; // the owner's
    std::unique_ptr<APPLNMENU> menubar;
    APPLNERRORHANDLER errorhandler;
    GDPA<TOOLBAR> toolbars; // the bars are the native window's
    GDPA<CTRLBAR> ctrlbars;
    STATUSBAR* statusbar = nullptr; // one of ctrlbars
    HFONT font = nullptr;
    HWND dialog = nullptr; // a dialog form shown inside the window
    unsigned short cmdctx = CMDCTX_SHARED;
    unsigned short lasthintcontext = 0;
    unsigned short lasthintcommand = 0;
    char caption[CAPTIONLENGTH] = {};
    HMENU activepopup = nullptr;
    HCURSOR savedcursor = nullptr;
    HWND savedfocus = nullptr;

private:
    LRESULT onkeyquery(unsigned long key, MSG* message);
    void oncommandhint(LPARAM lParam);
    void oncommandtip(HWND control, LPARAM lParam);
    void onhelp(HELPINFO* help);
    void onhelprequest(unsigned long id, HELPINFO* help);
    LRESULT oncopydata(const COPYDATASTRUCT* data);
    // The window's module input handler is woken (a command or close may end its wait).
    void interruptinput();
};
