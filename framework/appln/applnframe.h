#pragma once

// A top-level frame of the program. It holds module windows as the tabs of its tab strip and shows
// one of them, the active window, between four rebars (top, bottom, left, right) in which the
// frame-wide toolbars and the active window's bars dock. It routes menu, command, key, hint, help
// and activation traffic to the active window, owns a tooltip and a modeless status box, keeps
// its placement per monitor, writes and reads its element of the workspace, lets windows move to
// another frame or tear off into a new one, and parents modal Qt dialogs. The process creates,
// owns and deletes the frames; the module windows belong to their modules.
//
// Messages handled beside the standard ones (windowmessages.h): WM_COMMANDHINT and WM_COMMANDTIP
// (to the active window), WM_KEYQUERY (Ctrl+Tab selects the next tab), WM_HELPREQUEST,
// WM_FRAMELAYOUT, WM_GETAPPLNCONTEXT, WM_SELECTWINDOW, WM_CLOSETAB, WM_MOVEWINDOWTOFRAME,
// WM_GETDIALOGHANDLE, WM_EXCHANGEDIALOGHANDLE and WM_FRAMECOMMAND.
//
// Placement per monitor: the registry's window positions (core windowpos.h) under the process's
// context, named "Monitor_%d_%d_%d_%d" after the monitor's rectangle (left, top, right, bottom).

#include <string>

#include "core/containers/dpa.h"
#include "framework/appln/applnwindow.h"
#include "platform/tirsk/basewin.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/controls.h"

class APPLNMENU;
class APPLNPROCESS;
class CMDINFOTABLE;
class CTRLBAR;
class FORM;
class KEYTRANSLATOR;
class QDialog;
class REBAR;
class TABSTRIP;
class TOOLBAR;

// The frame's timer that ends the process's suppression of workspace saves.
constexpr UINT_PTR FRAMETIMER_WORKSPACE = 12;

class APPLNFRAME : public BASEWIN {
public:
    // The child ids of the rebars (all four) and of the tab strip.
    static constexpr unsigned REBARID = 1;
    static constexpr unsigned TABSTRIPID = 2;
    // The child id of the first module window.
    static constexpr int FIRSTWINDOWID = 100;

    // A frame of the process with the program's global command table and key translator.
    APPLNFRAME(APPLNPROCESS* process, CMDINFOTABLE& table, KEYTRANSLATOR& keys);
    // The same with the process's own table and translator (none without a process).
    explicit APPLNFRAME(APPLNPROCESS* process);
    // Destroys the frame's window with its module windows.
    ~APPLNFRAME() override;

    // Creates the native frame over the monitor's default area (the primary monitor's for null),
    // titled with the process's title, with the global menu, its icon, the four rebars, the tab
    // strip and the tooltip; the window handle, null when it cannot be made.
    virtual HWND createwindow(HMONITOR monitor);
    // Has every window destroy itself and destroys the native frame and what it owns.
    virtual void destroywindow();
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Windows and tabs.
    // Appends the window with a tab of its own.
    void addwindow(APPLNWINDOW* window);
    // Takes the window and its tab out; an active window gives way to the previously active one,
    // else the next, else the one before. A frame left empty closes when it is not the process's
    // only one.
    void removewindow(APPLNWINDOW* window);
    // Makes the window (null: none) the active one: its menu, its bars in the rebars, its tab
    // selected and the caption; nothing when it is active already.
    void loadwindow(APPLNWINDOW* window);
    // Posts the selection of window n (0 <= n < numwindows) to the frame and lets its module pump.
    void selectwindow(int n);
    APPLNWINDOW* getactivewindow() const { return active; }
    APPLNMODULE* getactivemodule() const;
    APPLNMENU* getactivemenu() const { return activemenu; }
    APPLNPROCESS* getprocess() const { return process; }
    int numwindows() const { return windows.count; }
    // The i-th window in tab order; null out of range.
    APPLNWINDOW* getwindow(int i) const { return windows.ptr(i); }
    // The window's tab index; -1 when it is not the frame's.
    int getwindowidx(APPLNWINDOW* window) const { return windows.find(window); }
    int isactivewindow(APPLNWINDOW* window) const { return window && window == active ? 1 : 0; }
    // The child id for the next module window (from 100).
    int getnextwindowid() { return nextwindowid++; }
    // The window after the active one in tab order, wrapping; the first without an active one;
    // null when that is the active window itself or there are none.
    APPLNWINDOW* getnexttabwindow() const;
    TABSTRIP* gettabstrip() const { return tabstrip; }

    // Bars.
    // The bar bound to the child window with that id of the frame, else of the active window;
    // null when none.
    CTRLBAR* getctrlbar(unsigned id);
    // A frame-wide toolbar in the global context, docked first in the top rebar whatever window
    // is active.
    TOOLBAR* addglobaltoolbar(
        unsigned id, const char* title, const char* bitmap, const TBBUTTON* buttons, int count);
    int numglobaltoolbars() const { return globaltoolbars.count; }
    // The i-th frame-wide toolbar in the order added; null past the last.
    TOOLBAR* getglobaltoolbar(int i) const { return i >= 0 && i < globaltoolbars.count ? globaltoolbars.ptr(i) : nullptr; }
    // The bar docks itself in the rebar of that side (0 top, 1 bottom, 2 left, 3 right) at that
    // position; detach takes it out of all four.
    void attach(CTRLBAR* bar, int side, int position);
    void detach(CTRLBAR* bar);
    // The rebar of a side; null before the native frame is made or for a bad side.
    REBAR* getrebar(int side) const { return side >= 0 && side < 4 ? rebars[side] : nullptr; }
    // Empties the rebars and docks the window's saved bands (none for null) and the frame-wide
    // toolbars, then lays the frame out; saverebars keeps the window's bands.
    void restorerebars(APPLNWINDOW* window);
    void saverebars(APPLNWINDOW* window);

    // Menus.
    // The menu shown while no window is active (not owned).
    void setglobalmenu(APPLNMENU* menu);
    // Sets the menu (the global one for null) on the frame with its recent files brought up to date.
    void loadmodulemenu(APPLNMENU* menu);
    // The popup open now (null: none), which also tells whether a menu loop runs.
    void setactivepopup(HMENU popup);

    // Layout.
    // The area for module windows in client coordinates, right and bottom edges included, after
    // laying out the rebars and the tab strip.
    RECT getapplnwindowarea() { return calcsizes(); }
    RECT calcsizes();
    // The monitor's work area (the primary work area for null) inset by 1/120 of its width and
    // 1/80 of its height; unless full, narrowed about its centre to at most 14:9.
    static RECT getdefaultwindowarea(HMONITOR monitor, int full);
    // Lays the frame out, moves the active window into its area and redraws everything.
    void onresize();

    // Placement and workspace.
    // Keeps the frame's placement for the monitor when it is the monitor's only frame; nothing for
    // a null monitor.
    void savewindowplacement(HMONITOR monitor);
    // The stored placement for the monitor (the frame's own for null) applied; 0 when none is.
    int restorewindowplacement(HMONITOR monitor);
    // The frame's element: "PLACEMENT", "activewindow" and one "WINDOW" per window; 1.
    int savesettings(XML::ELEMENT& element);
    // Applies the placement and restores each window through its module; 1 when any window was
    // restored, which then is selected.
    int loadsettings(XML::ELEMENT& element);

    // Closing.
    // 0 when the owner of any window is inside a modal dialog or a window refuses; else 1.
    int queryclose();
    // Unless forced the process must agree; then the workspace and the placement are saved, every
    // window is closed, last first, and the process removes (deletes) the frame. Always 0.
    int close(int force);
    void closeallwindows();
    // The caption: the active window's frame caption, else the process's.
    void updatecaption();

    // The modeless "STATUSBOX" over the frame showing the text (its control "TEXT"), opened when
    // needed; the id form formats the string of that id of the current context.
    void showstatusbox(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void showstatusbox(unsigned long id, ...);
    void hidestatusbox();
    // The frame's tooltip over a window (or a rectangle of it) with the text after `delay`
    // milliseconds (-1 the default); a null text shows nothing.
    void showtooltip(HWND window, const RECT* rect, const char* text, int delay);
    void hidetooltip();
    // Runs a Qt dialog modally over the active window (the frame without one), with the module
    // counted as inside a modal dialog meanwhile; the dialog's result.
    int showdialog(QDialog* dialog, APPLNMODULE* module);

private:
    void settoolrecord(HWND window, const RECT* rect, const char* text);
    void placeactivewindow(const RECT& area);
    void selectfromtab(int index, int source);
    void closefromtab(HWND sender, int index);
    void movewindow(int index, tagPOINT point);
    LRESULT onactivatemessage(WPARAM wParam, LPARAM lParam);
    LRESULT onkeyquery(unsigned long key, MSG* message);
    LRESULT onframecommand(unsigned short id, int frommenu);
    LRESULT onsetcursor(WPARAM wParam, LPARAM lParam);
    void onhelprequest(unsigned long id, HELPINFO* help);
    void onwindowposchanged(const WINDOWPOS* position);
    void onexitsizemove();
    LRESULT onnotify(const NMHDR* header);

    APPLNPROCESS* process;
    CMDINFOTABLE* cmdtable; // the program's; not owned; null without a process
    KEYTRANSLATOR* keytranslator; // the program's; not owned; null without a process
    APPLNMENU* globalmenu = nullptr; // not owned
    GDPA<TOOLBAR> globaltoolbars; // the bars are the frame window's
    REBAR* rebars[4] = {}; // top, bottom, left, right
    int restoring = 0;
    TABSTRIP* tabstrip = nullptr;
    GDPA<APPLNWINDOW> windows;
    GDPA<APPLNWINDOW> movingwindows;
    APPLNWINDOW* previous = nullptr;
    APPLNWINDOW* active = nullptr;
    APPLNMENU* activemenu = nullptr; // not owned
    int nextwindowid = FIRSTWINDOWID;
    HWND dialog = nullptr;
    HMENU activepopup = nullptr;
    int inmenuloop = 0;
    FORM* statusbox = nullptr;
    HWND tooltip = nullptr;
    TOOLINFOA tool {};
    std::string tooltext; // the text of the registered tool
    int draggingover = 0;
    GDPA<APPLNFRAME> framesaway;
    APPLNFRAME* dropframe = nullptr;
};
