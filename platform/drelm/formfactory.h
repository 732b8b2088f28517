#pragma once

// Where forms find what belongs to a module: the callbacks registered by form name, controls of
// the module's own types, and the translator of the module's texts. Every module is a form
// factory; the library asks the factory of the current application context, which the framework
// names through setformfactoryhook.
// Callers: the module base (framework), which implements the factory and installs the hook; forms.

#include "platform/drelm/formcallback.h"
#include "platform/win/handletypes.h"

class CONTROL;
class ITRANSLATE;

// One row of a module's table of form callbacks.
struct FORM_CBITEM {
    const char* name; // the form's name, compared without regard to case
    FORMPROC proc;
};

class IFORMFACTORY {
public:
    // The callback registered for the form's name; null when none.
    virtual FORMPROC getdialogcbf(const char* name) = 0;
    // A control of the module's type number for the form's placeholder window (the control takes
    // the window over; the form owns the control); null for a type the module does not know.
    virtual CONTROL* getdialogctrl(FORM& form, int type, HWND window, const char* name) = 0;
    // The name of a control type; "UNKNOWN" for a type the module does not know.
    virtual const char* getdialogctrltypename(int type) = 0;
    // The translator and the translation context of the module's texts; either may be null.
    virtual ITRANSLATE* getstringtranslator() = 0;
    virtual const char* getstringcontext() = 0;

protected:
    ~IFORMFACTORY() = default;
};

// The factory of the calling thread's current module; null when there is none.
using FORMFACTORYHOOK = IFORMFACTORY* (*)();
// Installs the hook (null: no factory) and returns the previous one.
FORMFACTORYHOOK setformfactoryhook(FORMFACTORYHOOK hook);
// The current factory through the hook; null without one.
IFORMFACTORY* getformfactory();
