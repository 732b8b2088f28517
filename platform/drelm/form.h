#pragma once

// Resource forms: dialogs built at run time from a Qt Designer layout kept among a module's
// resources (`form NAME { "name.ui" }` in its resource source; FORMS.md describes what a layout may
// hold). A form is found by name, without regard to case, in the current application context's
// resource module, then its module, then the library module given to dlg_init. Its controls are
// found by name or id (CONTROL, control.h), and a callback (IFORMHANDLER or FORMPROC) sees its
// events as the messages below. A form lives in a window of the window layer: a top-level dialog
// owned by a window, or a child of a window (load with child set).
//
// Arguments: a form may be given a list of pointers. When the form is built, each control marked
// to bind takes the next pointer (control order is the layout's document order, page forms of a
// tab control included where the page stands), shows the value it points to, and writes the
// control's value back when the form ends with OK. The callback takes further pointers with
// nextarg while the form starts. The list must outlive the start: open and rm_get take it from
// their own arguments; setarglist keeps a copy only until the next open.
// Callers: the frame's status box, the key-map editor, the resource-form window (framework); the
// main program's dialogs, output forms and every module's forms.

#include <cstdarg>
#include <memory>
#include <string>
#include <vector>

#include "platform/drelm/formcallback.h"
#include "platform/tirsk/basewin.h"
#include "platform/win/messagebox.h"

class CONTROL;
class QObject;
class QWidget;

// The form's messages to its callback (wparam, lparam as noted).
constexpr unsigned DLGM_START = 0x600; // the form opened, controls bound (0, 0)
constexpr unsigned DLGM_CLOSING = 0x602; // the form ends (end code, 0); DLG_HANDLED with IDOK: the
                                         // callback stored the values itself, nothing is written back
constexpr unsigned DLGM_DESTROY = 0x603; // the form's window goes (0, 0)
constexpr unsigned DLGM_VALIDATE = 0x609; // OK was pressed (IDOK, 0); DLG_HANDLED keeps the form open
constexpr unsigned DLGM_COMMAND = 0x620; // a button, check box or radio group was operated (id, new
                                         // state: 0 for a button, the check, the radio index)
constexpr unsigned DLGM_DBLCLK = 0x621; // an item of a list, list view or tree view was double-clicked
                                        // (id, item index)
constexpr unsigned DLGM_PAGE = 0x630; // a tab control shows another page (id, page index)
constexpr unsigned DLGM_KEY = 0x649; // a key in an edit (MAKEWPARAM(id, key), 0); Return 13, Escape 27
constexpr unsigned DLGM_RESET = 0x64A; // an edit was double-clicked to reset its value (id, 0)
constexpr unsigned DLGM_UPDATE = 0x650; // a value changed: an edit's text was committed (id, 0);
                                        // a selection, spin, slider, colour or key (id, new value)
constexpr unsigned DLGM_POPUPMENU = 0x738; // a menu button's menu opens (id, HMENU)
constexpr unsigned DLGM_MENUCOMMAND = 0x73A; // an item of that menu was chosen (id, item id)
// Owner-drawn lists send WM_MEASUREITEM and WM_DRAWITEM (0, the record) with the list's id.

// Form states.
enum FORMSTATE { FS_CLOSED = 0, FS_RUNNING = 1, FS_CONFIRMED = 2, FS_CANCELLED = 3 };

// Where open takes the form's argument list from.
enum LISTTYPE { LT_VARARGS = 1, LT_VALIST = 2, LT_NONE = 3 };

// Modes of open.
constexpr int DLG_MODAL = 1;
constexpr int DLG_MODELESS = 2;

class FORM : public BASEWIN {
public:
    // A form of the layout `name`, owned by `owner` (null: the active window), whose events go to
    // handler or proc (either may be null).
    FORM(HWND owner, const char* name, IFORMHANDLER* handler);
    FORM(HWND owner, const char* name, FORMPROC proc = nullptr);
    // Destroys the form's window (the callback sees DLGM_CLOSING and DLGM_DESTROY when it was open).
    ~FORM() override;

    // Builds the form's window from its layout: a child of `parent` when `child` is set, else a
    // dialog owned by `parent`; bound controls take their arguments. 1, or 0 when the layout is
    // missing or damaged (reported in an error box naming the form).
    int load(HWND parent, int child);
    // Opens the form, building it first when load has not: modally (DLG_MODAL) it runs until it
    // ends and answers the end code, -1 when it could not be built; modeless (DLG_MODELESS) it
    // shows the form and answers 1, 0 when it could not be built. The argument list comes from the
    // further arguments (LT_VARARGS), from a va_list* given as the first further argument
    // (LT_VALIST) or stays as setarglist left it (LT_NONE). `kind` is a LISTTYPE passed as int:
    // the parameter before the further arguments must keep its type through promotion.
    int open(int mode, int kind, ...);
    // Keeps a copy of the list for the next load or open.
    void setarglist(va_list list);
    // The next pointer of the argument list; null when there is none. Only while the form starts.
    void* nextarg();

    // As if the user pressed the enabled button with that id (OK validates first, Cancel and
    // closing buttons end the form); 0 when there is no such button.
    int pressbutton(int id);
    // Ends the form with the code: the callback sees DLGM_CLOSING, bound values are written back
    // for IDOK, the window goes; a modal open returns the code.
    void end(int code);
    int getstate() const { return state; }
    int getresult() const { return result; }
    const char* getname() const { return name.c_str(); }
    // The form that holds this one as a tab page; null for a form of its own.
    FORM* getparentform() const { return parentform; }

    // Controls by name (without regard to case) or id, page forms included; null when absent.
    CONTROL* getctrl(const char* controlname) const;
    CONTROL* getctrl(int id) const;
    // The control a widget of the form stands for, page forms included; null when absent.
    CONTROL* ctrlofwidget(const QWidget* widget) const;
    // The id of the named control; 0 when absent.
    int getctrlid(const char* controlname) const;
    // Enables or shows the control with that id; 0 when there is none.
    int enable(int id, int on);
    int show(int id, int on);

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The library's share: the event to the callback (DLG_DEFAULT without one).
    DLGCODES notify(unsigned msg, unsigned wparam, long lparam);
    QWidget* getroot() const { return root; }

private:
    friend class FORMBUILDER;

    int build(HWND parent, int child);
    void start();
    bool validate();
    bool valuesarenumbers();
    void commit();
    void teardown();
    int runmodal();
    void takearglist(LISTTYPE kind, va_list* own);
    void dropsarglist();

    std::string name;
    HWND owner;
    IFORMHANDLER* handler = nullptr;
    FORMPROC proc = nullptr;
    FORM* parentform = nullptr;
    QWidget* root = nullptr; // owned by the form's window widget, or by the tab page of a page form
    std::vector<std::unique_ptr<CONTROL>> controls; // in control order
    std::vector<std::unique_ptr<FORM>> pages;
    va_list arguments;
    bool hasarguments = false;
    QObject* guard = nullptr; // owns the form's key filter while the form is built
    int autoid = 0x4000; // ids of controls whose layout gives none
    int state = FS_CLOSED;
    int result = 0;
    bool modal = false;
    HWND disabledowner = nullptr;
};

// Runs the named form modally over the active window, with its callback from the current form
// factory and the further arguments bound to its controls in control order. The end code (IDOK,
// IDCANCEL or a closing button's id); -1 when the form could not be built.
int rm_get(const char* name, ...);
