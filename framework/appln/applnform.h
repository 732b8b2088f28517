#pragma once

// APPLNFORM: a module window whose whole client area is one resource form of its module (FORM),
// for modules whose window is a form. The deriving window loads the form once by name and gets
// its events through IFORMHANDLER (its own callback, unless it names another handler); the window
// keeps the form sized to its client area, hands it the keyboard focus, and answers the form's
// window as its dialog handle.

#include "framework/appln/applnwindow.h"
#include "platform/drelm/formcallback.h"

class FORM;

class APPLNFORM : public APPLNWINDOW, public IFORMHANDLER {
public:
    APPLNFORM() = default;
    ~APPLNFORM() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onresize(int width, int height) override;

    // Builds the form `name` as a child of the window and shows it modeless over the client area,
    // its events to handler (null: this window). Its arguments: with LT_VARARGS the further
    // arguments, with LT_VALIST the va_list* given first among them, else none. The form; null
    // when it could not be built (the window then stays a plain module window).
    FORM* loadform(const char* name, IFORMHANDLER* handler, int kind, ...);
    FORM* getform() const { return form; }

    // The form's events; the base lets the form handle them itself.
    DLGCODES callback(FORM& form, unsigned msg, unsigned wparam, long lparam) override { return DLG_DEFAULT; }

private:
    FORM* form = nullptr;
};
