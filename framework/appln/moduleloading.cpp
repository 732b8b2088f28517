#include <cctype>
#include <cfenv>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "core/windows/registry.h"
#include "framework/appln/applnprocess.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/modules.h"
#include "platform/win/styles.h"
#include "platform/win/system.h"
#include "platform/win/window.h"

namespace {

constexpr const char* failedtoload = "Failed to load module '%s'. Please reinstall the product.";
constexpr const char* loadingmodule = "Loading %s...";
constexpr UINT WM_SELECTWINDOW = 0x541;

// Modules outside the system that a program may ask for: when one is not installed, its
// interfaces are null and the program goes on.
constexpr const char* outsidemodules[] = {
    "BRIX",
    "ZMVSTUDIO",
    "MERVALE",
    "SPANDO",
    "KORLIX",
    "TUMBRAL",
    "GRESHOLD",
    "STARTUP",
    "PELVARD",
    "BOM",
    "ZMVDEBUG", // the simulation host: without it nothing simulates
};

// A module is named by the stem of its library in the program's folder: letters, digits and
// underscores only, so that a name read from a workspace or any other file never reaches a path.
bool ismodulename(const char* name)
{
    const size_t length = name ? strlen(name) : 0;
    if (!length || length > MODULEINSTANCE::NAMELENGTH)
        return false;
    for (const char* c = name; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)) && *c != '_')
            return false;
    return true;
}

HMODULE loadlibrary(const char* name)
{
    char file[PATHBUFFER];
    addext(file, name, "DLL");
    // A library's start-up code may change the floating-point modes; the program keeps its own.
    std::fenv_t modes;
    std::fegetenv(&modes);
    HMODULE library = LoadLibraryA(file);
    std::fesetenv(&modes);
    return library;
}

} // namespace

bool APPLNPROCESS::isoutsidemodule(const char* name)
{
    for (const char* outside : outsidemodules)
        if (strcasecmp(outside, name) == 0)
            return true;
    return false;
}

APPLNMODULE* APPLNPROCESS::findmodule(const char* name) const
{
    MODULEINSTANCE* instance = name ? modules[name] : nullptr;
    return instance ? instance->module : nullptr;
}

APPLNMODULE* APPLNPROCESS::createmoduleinstance(const char* name, const char* args)
{
    if (!ismodulename(name))
        return nullptr;
    MODULEINSTANCE* instance = modules[name];
    pushcontext();
    if (splash)
        showsplashmessage(loadingmodule, name);
    if (!instance) {
        instance = new MODULEINSTANCE {};
        strnzcpy(instance->name, name, MODULEINSTANCE::NAMELENGTH);
        instance->library = loadlibrary(name);
        modules.add(instance);
    }
    auto create = instance->library && !instance->module ? reinterpret_cast<CREATEMODULEINSTANCE>(
                      GetProcAddress(instance->library, "createmoduleinstance"))
                                                         : nullptr;
    if (create && (instance->module = create(this, args))) {
        APPLNMODULE* module = instance->module;
        instance->context = static_cast<ICMDTARGET*>(module)->getapplncontext();
        instance->context->instance = instance->library;
        APPLNCONTEXT* previous = setapplncontext(instance->context);
        char key[PATHBUFFER];
        snprintf(key, sizeof key, "%s\\%s\\%s", MAKERKEY, getapplnname(), module->getregistrykey());
        instance->context->registry = new REGISTRY32(HKEY_CURRENT_USER, key);
        module->system_init();
        module->loadconfig(configflag);
        setapplncontext(previous);
        module->checkversion();
    }
    popcontext();
    if (instance->module)
        return instance->module;
    if (isoutsidemodule(name))
        return nullptr;
    char text[PATHBUFFER + 64];
    snprintf(text, sizeof text, failedtoload, name);
    APPLNWINDOW* active = getactivewindow();
    MessageBoxA(active ? active->hwnd : nullptr, text, "Error", MB_ICONERROR | MB_TOPMOST);
    TerminateProcess(GetCurrentProcess(), 1);
    return nullptr;
}

void APPLNPROCESS::deletemoduleinstance(APPLNMODULE* module)
{
    MODULEINSTANCE* instance = nullptr;
    for (MODULEINSTANCE* each : modules)
        if (each->module == module)
            instance = each;
    if (!instance)
        return;
    modules.remove(instance);
    MODULECONTEXT* modulecontext = instance->context;
    APPLNCONTEXT* previous = setapplncontext(modulecontext);
    auto destroy
        = reinterpret_cast<DELETEMODULEINSTANCE>(GetProcAddress(instance->library, "deletemoduleinstance"));
    if (destroy) {
        module->saveconfig();
        module->system_term();
        delete modulecontext->registry;
        modulecontext->registry = nullptr;
        destroy(module);
        FreeLibrary(instance->library);
    }
    // Without its export the module object lives on in the library's code, so the library stays.
    setapplncontext(previous);
    delete instance;
}

void APPLNPROCESS::destroymodules()
{
    while (modules.count) {
        MODULEINSTANCE* first = modules.ptr(0);
        if (first->module) {
            deletemoduleinstance(first->module);
            continue;
        }
        modules.remove(0);
        if (first->library)
            FreeLibrary(first->library);
        delete first;
    }
}

IMODULE* APPLNPROCESS::getmoduleinterface(const char* name, unsigned id)
{
    if (!name)
        return queryinterface(id);
    MODULEINSTANCE* instance = modules[name];
    APPLNMODULE* module = instance ? instance->module : createmoduleinstance(name, nullptr);
    return module ? module->queryinterface(id) : nullptr;
}

APPLNWINDOW* APPLNPROCESS::loadmodulewindow(IMODULE* interface, int activate, unsigned flags)
{
    if (!interface)
        return nullptr;
    auto* module = static_cast<APPLNMODULE*>(static_cast<IWINDOWMODULE*>(interface->queryinterface(0)));
    APPLNFRAME* frame = getactiveframe();
    if (!module || !frame)
        return nullptr;
    APPLNWINDOW* window = module->getprimarywindow(frame, flags);
    if (!window)
        return nullptr;
    if (activate) {
        if (IsIconic(frame->hwnd))
            ShowWindow(frame->hwnd, SW_RESTORE);
        else
            SetActiveWindow(frame->hwnd);
        int index = 0;
        while (index < frame->numwindows() && frame->getwindow(index) != window)
            ++index;
        PostMessageA(frame->hwnd, WM_SELECTWINDOW, reinterpret_cast<WPARAM>(frame->hwnd),
            static_cast<LPARAM>(static_cast<uint32_t>(index & 0xFFFF) | 0xFFFF0000u));
    }
    module->pumpmessages(window, 0);
    return window;
}

APPLNWINDOW* APPLNPROCESS::loadmodulewindow(const char* name, int activate, unsigned flags)
{
    return loadmodulewindow(getmoduleinterface(name, 0), activate, flags);
}
