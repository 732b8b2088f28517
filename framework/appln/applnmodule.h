#pragma once

// The base of every module: the process object and each module library's main object. A module
// owns its application context (with its own message and string tables, which start as copies of
// the process's), its command table and key translator, its windows, a table of 256 interfaces and
// its input handler, and is the command target of last resort for its windows. Every call made on
// a module's behalf runs with its context current (pushcontext, popcontext). A module that
// overrides one form of getprimarywindow or showprimarywindow brings in the other with a
// using-declaration.

#include <strings.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "core/containers/didx.h"
#include "core/containers/dpa.h"
#include "core/windows/stringtable.h"
#include "framework/appln/applnwindow.h"
#include "framework/appln/inputhandler.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "framework/context/applncontext.h"
#include "framework/context/interfaces.h"
#include "framework/context/stringtranslator.h"
#include "platform/ombrel/gslist.h"

class APPLNPROCESS;

// The module's event: set by each idle pass, released to one waiter at a time.
class AUTORESETEVENT {
public:
    void set();
    // True when the event was set within the time (it is then reset).
    bool wait(unsigned milliseconds);

private:
    std::mutex mutex;
    std::condition_variable signalled;
    bool state = false;
};

class APPLNMODULE : public IWINDOWMODULE, public ICMDTARGET, public IFORMFACTORY, public IPALETTE {
public:
    static constexpr unsigned INTERFACES = 256;

    // process: the process the module belongs to, null for the process itself.
    explicit APPLNMODULE(APPLNPROCESS* process);
    APPLNMODULE(const APPLNMODULE&) = delete;
    APPLNMODULE& operator=(const APPLNMODULE&) = delete;
    virtual ~APPLNMODULE();

    // The interface in the slot; null for an empty slot or an id past 255.
    IMODULE* queryinterface(unsigned id) override;
    APPLNWINDOW* getprimarywindow(APPLNFRAME* frame) override { return primarywindow; }
    void showprimarywindow() override { showprimarywindow(0); }
    // Stores the name; the title is translated in the context of the name where a translation
    // exists.
    virtual void setapplnname(const char* name, const char* title);
    virtual const char* getapplnname() { return name.c_str(); }
    virtual const char* getapplntitle() { return title.c_str(); }
    // The module's command table and key translator.
    virtual CMDINFOTABLE* getcmdinfotable() { return &cmdtable; }
    virtual KEYTRANSLATOR* getkeytranslator() { return &keytranslator; }
    virtual HINSTANCE getmoduleinstance() { return context.instance; }
    // The name of the module's registry branch and of its version value; the name by default.
    virtual const char* getregistrykey() { return getapplnname(); }
    virtual void pushcontext();
    virtual void popcontext();
    virtual void system_init();
    virtual void system_term();
    // Non-zero when the module file's version differs from the one last run (onfirstrun ran).
    virtual int checkversion();
    virtual void loadcbftable() { }
    virtual void loadcmdinfo() { }
    virtual void loadconfig(int flag) { }
    virtual void saveconfig() { }
    virtual void resetsettings() { }
    virtual void loadsettings(XML::ELEMENT& element) { }
    // Non-zero when the module wrote settings of its own; 0 in the base.
    virtual int savesettings(XML::ELEMENT& element) { return 0; }
    virtual void run(APPLNFRAME* frame, char* commandline);
    // With the context pushed: the idle step, then one message (waiting when wait is set).
    virtual int pumpmessages(APPLNWINDOW* window, int wait);
    // Shows help topic id of the module's help file (its name with the extension "CHM").
    virtual void launchhelp(unsigned long id, const char* window, HWND owner);
    virtual void setinterface(unsigned id, IMODULE* interface);
    // The primary window in the frame of interface id's window module; null when there is none.
    virtual APPLNWINDOW* getprimarywindow(APPLNFRAME* frame, unsigned id);
    virtual void showprimarywindow(unsigned id);
    virtual APPLNWINDOW* restorewindow(APPLNFRAME* frame, XML::ELEMENT& element);
    virtual void addwindow(APPLNWINDOW* window);
    virtual void removewindow(APPLNWINDOW* window);
    virtual void updatewindows() { }
    // Signals the module's event; 1.
    virtual int onidle();
    // Non-zero when the key became a command: in the window's context for the window, else in the
    // global context for its frame.
    virtual int onwantkey(APPLNWINDOW* window, unsigned long key, MSG* message);
    // The command through the command table in the window's context, the window's command handling
    // and the module's, in that order, with the module's context current; non-zero when handled.
    virtual int oncommand(APPLNWINDOW* window, unsigned short id);
    virtual void onactivate(APPLNWINDOW* window) { }
    virtual void onfirstrun(unsigned long newversion, unsigned long oldversion) { }

    MODULECONTEXT* getapplncontext() override { return &context; }
    int docommand(unsigned short id) override { return 0; }
    int getuistate(unsigned short id, UISTATE* state) override { return 0; }

    // The callback registered by loadcbftable for the form's name (without regard to case).
    FORMPROC getdialogcbf(const char* formname) override;
    CONTROL* getdialogctrl(FORM& form, int type, HWND window, const char* controlname) override { return nullptr; }
    const char* getdialogctrltypename(int type) override { return "UNKNOWN"; }
    // A module that draws nothing holds no colours.
    COLORREF getcolour(int index) override { return 0; }
    STRINGTRANSLATOR* getstringtranslator() override { return context.translator; }
    const char* getstringcontext() override { return context.stringcontext; }

    APPLNPROCESS* getprocess() const { return process; }
    INPUTHANDLER& getinputhandler() { return inputhandler; }
    AUTORESETEVENT& getevent() { return event; }
    std::recursive_mutex& getmutex() { return mutex; }
    int numwindows() const { return windows.count; }
    APPLNWINDOW* getwindow(int i) const { return windows.ptr(i); }
    // A popup of the commands of the contexts with their key names; the caller destroys it with
    // destroycontextmenu.
    HMENU createcontextmenu(GSLIST<unsigned short>& contexts);
    void destroycontextmenu(HMENU menu);
    void setuistate(HMENU menu, unsigned short id, UISTATE& state) { cmdtable.setuistate(menu, id, state); }
    // A set flag pushes the context and raises the modal count, a clear one pops and lowers it.
    void setmodal(int flag);
    int ismodal() const { return modal; }

    // The packed version of a module file: ((n1 << 8 | n2) << 16) | n3; 0 without version
    // information.
    static unsigned long packedversion(HINSTANCE module);

protected:
    APPLNPROCESS* process;
    MODULECONTEXT context;
    STRINGTABLE messagetable;
    STRINGTABLE stringtable;
    CMDINFOTABLE cmdtable;
    KEYTRANSLATOR keytranslator { cmdtable, KEYTRANSLATOR::SCROLLCOMMAND };
    APPLNWINDOW* primarywindow = nullptr;
    GDPA<APPLNWINDOW> windows;
    INPUTHANDLER inputhandler;
    // The callbacks of the module's forms by form name; the rows are the module's (not owned).
    GDIDX<FORM_CBITEM> dialogcbfs { 0, DIDX::REPLACE, strcasecmp };

private:
    std::string name;
    std::string title;
    std::vector<APPLNCONTEXT*> contextstack;
    IMODULE* interfaces[INTERFACES] = {};
    AUTORESETEVENT event;
    std::recursive_mutex mutex; // held by the creating thread for the module's life
    int modal = 0;
};

// The module's context current for the life of the object; nothing for a null module.
class MODULESCOPE {
public:
    explicit MODULESCOPE(APPLNMODULE* module);
    ~MODULESCOPE();
    MODULESCOPE(const MODULESCOPE&) = delete;
    MODULESCOPE& operator=(const MODULESCOPE&) = delete;

private:
    APPLNMODULE* module;
};
