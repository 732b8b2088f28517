#include "framework/context/applncontext.h"

#include <unordered_set>

#include "core/windows/stringtable.h"
#include "framework/context/interfaces.h"
#include "platform/win/gdi.h"
#include "platform/win/modules.h"

namespace {

// The framework's contexts alive, so that a context some other code made current is never read
// as one of them.
std::mutex livemutex;
std::unordered_set<const APPLNCONTEXT*> live;

void enlist(const APPLNCONTEXT* context)
{
    std::lock_guard lock(livemutex);
    live.insert(context);
}

const char* tabletext(const STRINGTABLE* table, unsigned long id)
{
    return table ? table->string(id) : "";
}

} // namespace

MODULECONTEXT::MODULECONTEXT()
    : APPLNCONTEXT {}
{
    enlist(this);
}

MODULECONTEXT::MODULECONTEXT(const MODULECONTEXT& other)
    : APPLNCONTEXT(other)
    , name(other.name)
    , title(other.title)
    , stringcontext(other.stringcontext)
    , messagetable(other.messagetable)
    , module(other.module)
    , document(other.document)
    , palette(other.palette)
    , translator(other.translator)
    , criticalsection(other.criticalsection)
    , parent(other.parent)
    , window(other.window)
{
    enlist(this);
}

MODULECONTEXT::~MODULECONTEXT()
{
    std::lock_guard lock(livemutex);
    live.erase(this);
}

MODULECONTEXT* getmodulecontext()
{
    APPLNCONTEXT* context = getapplncontext();
    std::lock_guard lock(livemutex);
    return live.count(context) ? static_cast<MODULECONTEXT*>(context) : nullptr;
}

APPLNMODULE* getapplnmodule()
{
    MODULECONTEXT* context = getmodulecontext();
    return context ? context->module : nullptr;
}

APPLNDOCUMENT* getapplndocument()
{
    MODULECONTEXT* context = getmodulecontext();
    return context ? context->document : nullptr;
}

STRINGTRANSLATOR* getapplnstringtranslator()
{
    MODULECONTEXT* context = getmodulecontext();
    return context ? context->translator : nullptr;
}

const char* getapplnname()
{
    MODULECONTEXT* context = getmodulecontext();
    return context ? context->name : nullptr;
}

const char* getapplntitle()
{
    MODULECONTEXT* context = getmodulecontext();
    return context ? context->title : nullptr;
}

HWND getapplnwinhdl()
{
    MODULECONTEXT* context = getmodulecontext();
    return context ? context->window : nullptr;
}

HINSTANCE getapplngraphicsinstance()
{
    APPLNCONTEXT* context = getapplncontext();
    return context->resourceinstance ? context->resourceinstance : context->instance;
}

COLORREF getapplncolour(int index)
{
    MODULECONTEXT* context = getmodulecontext();
    return context && context->palette ? context->palette->getcolour(index) : 0;
}

HFONT getapplnctrlfont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

const char* getapplnstring(unsigned long id)
{
    return tabletext(getapplncontext()->stringtable, id);
}

const char* getapplnmessage(unsigned long id)
{
    MODULECONTEXT* context = getmodulecontext();
    return tabletext(context ? context->messagetable : nullptr, id);
}

HINSTANCE getapplnlanguageinstance()
{
    static const HINSTANCE library
        = modulefromaddress(reinterpret_cast<const void*>(&getapplnlanguageinstance));
    return library;
}
