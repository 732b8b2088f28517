#include "framework/appln/applnmodule.h"

#include <chrono>
#include <cstdlib>

#include "core/windows/process.h"
#include "core/windows/registry.h"
#include "framework/appln/applnframe.h"
#include "framework/appln/applnprocess.h"
#include "framework/context/stringtranslator.h"
#include "platform/win/menu.h"
#include "platform/win/messagequeue.h"
#include "platform/win/modules.h"
#include "platform/win/resources.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

namespace {

constexpr const char* versionsection = "Versions";

// Loads a module's own table (its resource and the library's) when the module has the resource;
// false (the inherited table stays) when it has none.
bool loadowntable(STRINGTABLE& table, HINSTANCE module, const char* name, const char* libraryname)
{
    if (!module || !FindResourceA(module, name, RT_RCDATA))
        return false;
    table.zap();
    table.load(name, module);
    table.load(libraryname, getapplnlanguageinstance());
    return true;
}

} // namespace

void AUTORESETEVENT::set()
{
    std::lock_guard lock(mutex);
    state = true;
    signalled.notify_one();
}

bool AUTORESETEVENT::wait(unsigned milliseconds)
{
    std::unique_lock lock(mutex);
    if (!signalled.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return state; }))
        return false;
    state = false;
    return true;
}

APPLNMODULE::APPLNMODULE(APPLNPROCESS* owner)
    : process(owner)
{
    if (process) {
        context = *process->getapplncontext();
        context.parent = process->getapplncontext();
    }
    context.module = this;
    context.palette = this;
    interfaces[0] = this;
    interfaces[1] = this;
    mutex.lock();
}

APPLNMODULE::~APPLNMODULE()
{
    // The thread must not go on with a context that dies with the module.
    APPLNCONTEXT* current = setapplncontext(nullptr);
    if (current != &context)
        setapplncontext(current);
    mutex.unlock();
}

IMODULE* APPLNMODULE::queryinterface(unsigned id)
{
    return id < INTERFACES ? interfaces[id] : nullptr;
}

void APPLNMODULE::setinterface(unsigned id, IMODULE* interface)
{
    if (id < INTERFACES)
        interfaces[id] = interface;
}

void APPLNMODULE::setapplnname(const char* newname, const char* newtitle)
{
    name = newname ? newname : "";
    title = newtitle ? newtitle : "";
    if (STRINGTRANSLATOR* translator = getstringtranslator()) {
        if (char* translated = translator->translate(title.c_str(), name.c_str())) {
            title = translated;
            free(translated);
        }
    }
    context.name = name.c_str();
    context.title = title.c_str();
}

FORMPROC APPLNMODULE::getdialogcbf(const char* formname)
{
    FORM_CBITEM* item = dialogcbfs[formname];
    return item ? item->proc : nullptr;
}

void APPLNMODULE::pushcontext()
{
    contextstack.push_back(setapplncontext(&context));
}

MODULESCOPE::MODULESCOPE(APPLNMODULE* owner)
    : module(owner)
{
    if (module)
        module->pushcontext();
}

MODULESCOPE::~MODULESCOPE()
{
    if (module)
        module->popcontext();
}

void APPLNMODULE::popcontext()
{
    if (contextstack.empty()) {
        setapplncontext(nullptr);
        return;
    }
    setapplncontext(contextstack.back());
    contextstack.pop_back();
}

void APPLNMODULE::system_init()
{
    HINSTANCE module = getmoduleinstance();
    if (loadowntable(messagetable, module, "APPLNMESSAGES", "QJLIBMESSAGES"))
        context.messagetable = &messagetable;
    if (loadowntable(stringtable, module, "APPLNSTRINGS", "QJLIBSTRINGS"))
        context.stringtable = &stringtable;
    // The global commands and keys are the main program's, loaded into every module's table.
    HINSTANCE program = process ? process->getmoduleinstance() : module;
    cmdtable.load("GLOBALCONTEXTS", program);
    keytranslator.rscload("GLOBALKEYS", program);
    if (module && FindResourceA(module, "APPLNCONTEXTS", RT_RCDATA)) {
        cmdtable.load("APPLNCONTEXTS", module);
        keytranslator.rscload("APPLNKEYS", module);
    }
    loadcbftable();
    loadcmdinfo();
    keytranslator.regload(KEYTRANSLATOR::REGISTRYKEY);
}

void APPLNMODULE::system_term()
{
    primarywindow = nullptr;
    while (windows.count) {
        APPLNWINDOW* first = windows.ptr(0);
        first->destroywindow();
        // A window that did not leave the list by itself must not hold the loop.
        if (windows.ptr(0) == first)
            windows.remove(0);
    }
}

unsigned long APPLNMODULE::packedversion(HINSTANCE module)
{
    char path[PATHBUFFER] = {};
    if (!GetModuleFileNameA(module, path, sizeof path))
        return 0;
    VERSIONINFO version {};
    if (!getversioninfo(path, &version))
        return 0;
    uint32_t packed = (static_cast<uint32_t>(version.major) << 8 | version.minor) << 16 | version.build;
    return packed;
}

int APPLNMODULE::checkversion()
{
    unsigned long current = packedversion(getmoduleinstance());
    unsigned long stored = reg_getdw(versionsection, getregistrykey(), 0);
    if (current == stored)
        return 0;
    pushcontext();
    onfirstrun(current, stored);
    popcontext();
    reg_putval(versionsection, getregistrykey(), static_cast<DWORD>(current));
    return 1;
}

void APPLNMODULE::run(APPLNFRAME* frame, char* commandline)
{
    pushcontext();
    getprimarywindow(frame, 0);
    popcontext();
}

int APPLNMODULE::pumpmessages(APPLNWINDOW* window, int wait)
{
    pushcontext();
    onidle();
    inputhandler.reset();
    int handled = inputhandler.getmessage(wait);
    popcontext();
    return handled;
}

void APPLNMODULE::launchhelp(unsigned long id, const char* window, HWND owner)
{
    if (APPLNPROCESS* target = process ? process : getapplnprocess())
        target->launchhelp(getapplnname(), id, window, owner);
}

APPLNWINDOW* APPLNMODULE::getprimarywindow(APPLNFRAME* frame, unsigned id)
{
    IMODULE* interface = queryinterface(id);
    IMODULE* windowmodule = interface ? interface->queryinterface(1) : nullptr;
    return windowmodule ? static_cast<IWINDOWMODULE*>(windowmodule)->getprimarywindow(frame) : nullptr;
}

void APPLNMODULE::showprimarywindow(unsigned id)
{
    APPLNPROCESS* owner = process ? process : getapplnprocess();
    APPLNFRAME* frame = owner ? owner->getactiveframe() : nullptr;
    APPLNWINDOW* window = getprimarywindow(frame, id);
    if (!frame || !window)
        return;
    if (IsIconic(frame->hwnd))
        ShowWindow(frame->hwnd, SW_RESTORE);
    frame->loadwindow(window);
}

APPLNWINDOW* APPLNMODULE::restorewindow(APPLNFRAME* frame, XML::ELEMENT& element)
{
    APPLNWINDOW* window = getprimarywindow(frame, 0);
    if (window)
        window->loadsettings(element);
    return window;
}

void APPLNMODULE::addwindow(APPLNWINDOW* window)
{
    windows.add(window);
}

void APPLNMODULE::removewindow(APPLNWINDOW* window)
{
    if (window && window == primarywindow) {
        primarywindow = nullptr;
        GDPA<APPLNWINDOW> others(windows);
        for (APPLNWINDOW* other : others)
            if (other != window && windows.find(other) >= 0)
                SendMessageA(other->hwnd, WM_CLOSE, 0, 0);
    }
    windows.remove(window);
}

int APPLNMODULE::onidle()
{
    event.set();
    return 1;
}

int APPLNMODULE::onwantkey(APPLNWINDOW* window, unsigned long key, MSG* message)
{
    if (!window)
        return 0;
    if (keytranslator.translate_and_dispatch(window->hwnd, window->getcmdctx(), key, message))
        return 1;
    APPLNFRAME* frame = window->getparentframe();
    return frame && keytranslator.translate_and_dispatch(frame->hwnd, CMDCTX_GLOBAL, key, message);
}

int APPLNMODULE::oncommand(APPLNWINDOW* window, unsigned short id)
{
    pushcontext();
    int handled = window ? cmdtable.dispatch(window->getcmdctx(), id, window) : 0;
    if (!handled && window)
        handled = window->docommand(id);
    if (!handled)
        handled = docommand(id);
    popcontext();
    return handled;
}

HMENU APPLNMODULE::createcontextmenu(GSLIST<unsigned short>& contexts)
{
    HMENU menu = CreatePopupMenu();
    cmdtable.appendcontextmenus(menu, contexts);
    keytranslator.sync_menu(contexts, menu);
    return menu;
}

void APPLNMODULE::destroycontextmenu(HMENU menu)
{
    DestroyMenu(menu);
}

void APPLNMODULE::setmodal(int flag)
{
    if (flag) {
        pushcontext();
        ++modal;
        return;
    }
    popcontext();
    if (modal > 0)
        --modal;
}
