#pragma once

// The controls of forms, and the library's controls that a window makes for itself (COMBOBOX,
// FPTEDIT). A control of a form stands for one widget of the form's layout, or for a window that
// a module's form factory took over; the form owns it. Every operation suits the kinds it names
// and does nothing (or answers 0, -1, "") for the others.
// Callers: form callbacks (framework and modules); the combo bars and the orientation bar through
// the window controls.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/tirsk/basewin.h"
#include "platform/win/colour.h"

class FORM;
class QObject;
class QWidget;

enum CTRLKIND {
    CK_BUTTON,
    CK_MENUBUTTON,
    CK_COLOURBUTTON,
    CK_CHECKBOX,
    CK_RADIOGROUP,
    CK_EDIT,
    CK_VALUEEDIT,
    CK_KEYEDIT,
    CK_SPINEDIT,
    CK_COMBOBOX,
    CK_LISTBOX,
    CK_LISTVIEW,
    CK_TREEVIEW,
    CK_SLIDER,
    CK_TABS,
    CK_STATIC,
    CK_PICTURE,
    CK_GROUPBOX,
    CK_WINDOW, // a window of a module's own control type
};

class CONTROL : public BASEWIN {
public:
    // A control of the module's own type over the placeholder window that a form made for it
    // (IFORMFACTORY::getdialogctrl); text is the placeholder's template text. The control binds
    // itself to the window (BASEWIN::subclass) and sees its messages through msghlr.
    CONTROL(FORM& form, HWND window, const char* text);
    ~CONTROL() override;
    CONTROL(const CONTROL&) = delete;
    CONTROL& operator=(const CONTROL&) = delete;

    CTRLKIND getkind() const { return kind; }
    int getid() const { return id; }
    const char* getname() const { return name.c_str(); }
    // The template text of a window control; "" for the others.
    const char* gettemplatetext() const { return templatetext.c_str(); }
    // The form holding the control; null for a window control made without a form.
    FORM* getform() const { return form; }
    // The widget the user sees; null for a radio group and a window control of a module's type.
    QWidget* getwidget() const;

    void enable(int on);
    int isenabled() const;
    void show(int on);
    int isvisible() const;
    void setfocus();
    int hasfocus() const;
    // Edits, value and spin edits, combo boxes: the user cannot change the value.
    void setreadonly(int on);
    // Suspends (0) and resumes (1) drawing while many items change.
    void setredraw(int on);

    // The text of an edit or value edit, a static, a button or group box caption, a combo box's
    // current item; a key edit shows its key's name. UTF-8.
    void settext(const char* text);
    // Copies at most size - 1 bytes (never part of a character) and a terminator; the length.
    int gettext(char* buffer, int size) const;
    std::string text() const;
    // Selects the whole text of an edit.
    void selectall();
    // The colour of a static's or button's text.
    void settextcolour(COLORREF colour);

    // Check boxes.
    void check(int state);
    int ischecked() const;

    // The integer value: a radio group's choice, a combo box's, list's, list view's, tree view's or
    // tab control's selection (-1: none), a spin edit's or slider's position, a key edit's key
    // code, a colour button's colour.
    void setvalue(long value);
    long getvalue() const;
    void setrange(long low, long high);
    // Enables or disables one choice of a radio group.
    void enablechoice(int index, int on);

    // The value of a value edit: its text through the core's value reader (engineering multiplier
    // letters and units allowed); valid is set to 0 for text that is no number.
    void setreal(double value);
    double getreal(int* valid) const;

    // Items of combo boxes, lists, list views (cells separated by tabs) and tree views (under the
    // item of index parent, -1 at the top). add answers the new item's index.
    int additem(const char* text, intptr_t data, int parent = -1);
    void clearitems();
    int numitems() const;
    int getitemtext(int index, char* buffer, int size) const;
    void setitemtext(int index, const char* text);
    intptr_t getitemdata(int index) const;
    void setitemdata(int index, intptr_t data);
    // An owner-drawn list: the item is drawn again.
    void redrawitem(int index);
    // Where the text after a tab starts in a list's items, in pixels (0: no tab stop).
    void settabstop(int pixels);
    int gettabstop() const { return tabstop; }
    // Closes a combo box's drop-down list.
    void closedropdown();

    // The image of a picture (not owned; the control keeps a copy).
    void seticon(HICON icon);
    // The font of the control's texts (not owned; the control keeps a copy).
    void setfont(HFONT font);

    // A window control follows its window: size, enabled state, end.
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // What the control tells about itself: to its form's callback, else to its window's parent.
    LRESULT report(unsigned msg, unsigned wparam, long lparam);

protected:
    // A control for a widget of a form's layout (the form's builder makes these).
    CONTROL(FORM* form, QObject* object, CTRLKIND kind, int id, const char* name);
    // A library control in a child window of its own (style and id as for CreateWindowExA) that
    // shows the widget (taken over); it reports to the parent window.
    CONTROL(HWND parent, DWORD style, int id, CTRLKIND kind, QWidget* widget);

    QObject* guard = nullptr; // owns the control's links to its widget; they end with it

private:
    friend class FORM;
    friend class FORMBUILDER;

    std::vector<QWidget*> widgets() const;
    // The bound argument: shown when the form is built, written back when it ends with OK.
    void showbound();
    void writeback();

    FORM* form = nullptr;
    QObject* object = nullptr; // the widget, or a radio group's button group; cleared when it goes
    CTRLKIND kind;
    int id = 0;
    std::string name;
    std::string templatetext;
    void* bound = nullptr;
    int boundsize = 0; // bytes of a bound text buffer
    int tabstop = 0;
    bool ownswindow = false; // a library control made with a window of its own
};
