#include "platform/drelm/formregistry.h"

#include <algorithm>
#include <vector>

#include "platform/drelm/form.h"
#include "platform/drelm/formfactory.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/window.h"

namespace drelm {
namespace {

HINSTANCE formlibrary = nullptr;
ITRANSLATE* formtranslator = nullptr;
std::vector<FORM*> openforms;
FORMFACTORYHOOK factoryhook = nullptr;

void registerclass(const char* name, UINT style)
{
    WNDCLASSEXA c {};
    c.cbSize = sizeof c;
    c.style = style;
    c.lpfnWndProc = DefWindowProcA;
    c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
    c.lpszClassName = name;
    RegisterClassExA(&c); // fails harmlessly when registered already
}

} // namespace

void registerformclasses()
{
    registerclass(FORMCLASS, 0);
    registerclass(CONTROLCLASS, CS_DBLCLKS);
}

void unregisterformclasses()
{
    UnregisterClassA(FORMCLASS, nullptr);
    UnregisterClassA(CONTROLCLASS, nullptr);
}

void setformlibrary(HINSTANCE library)
{
    formlibrary = library;
}

HINSTANCE getformlibrary()
{
    return formlibrary;
}

void setformtranslator(ITRANSLATE* translator)
{
    formtranslator = translator;
}

ITRANSLATE* getformtranslator()
{
    return formtranslator;
}

void formopened(FORM* form)
{
    if (std::find(openforms.begin(), openforms.end(), form) == openforms.end())
        openforms.push_back(form);
}

void formclosed(FORM* form)
{
    openforms.erase(std::remove(openforms.begin(), openforms.end(), form), openforms.end());
}

void closeallforms()
{
    while (!openforms.empty())
        openforms.back()->end(IDCANCEL); // which takes it off the list
}

} // namespace drelm

FORMFACTORYHOOK setformfactoryhook(FORMFACTORYHOOK hook)
{
    FORMFACTORYHOOK previous = drelm::factoryhook;
    drelm::factoryhook = hook;
    return previous;
}

IFORMFACTORY* getformfactory()
{
    return drelm::factoryhook ? drelm::factoryhook() : nullptr;
}
