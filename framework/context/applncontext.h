#pragma once

// The application context as the framework keeps it: the core's record (module, resource module,
// string table, registry object) and the fields the framework adds. Each module owns one; the
// process's serves every thread that has none of its own while the process lives. Calls made on a
// module's behalf make its context current (APPLNMODULE::pushcontext), so that ids, registry
// values and resources resolve in that module.

#include <mutex>

#include "core/windows/applncontext.h"
#include "platform/win/colour.h"

class APPLNDOCUMENT;
class APPLNMODULE;
class IPALETTE;
class STRINGTABLE;
class STRINGTRANSLATOR;

struct MODULECONTEXT : APPLNCONTEXT {
    MODULECONTEXT();
    MODULECONTEXT(const MODULECONTEXT& other);
    MODULECONTEXT& operator=(const MODULECONTEXT& other) = default;
    ~MODULECONTEXT();

    const char* name = nullptr; // the application name; not owned
    const char* title = nullptr; // the application title; not owned
    const char* stringcontext = nullptr; // context of the module's texts for translation; not owned
    STRINGTABLE* messagetable = nullptr; // not owned
    APPLNMODULE* module = nullptr; // the owning module
    APPLNDOCUMENT* document = nullptr; // the current document; not owned
    IPALETTE* palette = nullptr; // the module's palette
    STRINGTRANSLATOR* translator = nullptr; // the process's; not owned
    std::recursive_mutex* criticalsection = nullptr; // the process's; not owned
    MODULECONTEXT* parent = nullptr; // the context this one was copied from
    HWND window = nullptr; // the module's main window
};

// The calling thread's current context when it is one of the framework's; null otherwise.
MODULECONTEXT* getmodulecontext();

// Fields of the current context; null (or "" for texts of tables) when there is no framework
// context or the field is not set.
APPLNMODULE* getapplnmodule();
APPLNDOCUMENT* getapplndocument();
STRINGTRANSLATOR* getapplnstringtranslator();
const char* getapplnname();
const char* getapplntitle();
HWND getapplnwinhdl();
// The module that holds the context's bitmaps and icons: its resource module, else the module.
HINSTANCE getapplngraphicsinstance();
// The application colour of the index from the current context's palette; 0 without a palette.
COLORREF getapplncolour(int index);
// The font of the application's own controls (bars and windows that are no dialog's): the window
// layer's default GUI font. Not to be deleted.
HFONT getapplnctrlfont();
// Texts of the current context's string and message tables; "" when absent, never null.
const char* getapplnstring(unsigned long id);
const char* getapplnmessage(unsigned long id);
// The framework library's own module, which holds its resource tables ("QJLIBMESSAGES",
// "QJLIBSTRINGS").
HINSTANCE getapplnlanguageinstance();
