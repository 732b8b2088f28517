#pragma once

// The one process object of a running program. The program derives its own process class and
// hands control to run, which performs the start-up, runs the main loop until a quit and tears
// everything down. The process is itself a module (the program's context, its messages and
// strings, the global command table and key translator); it owns the frames, the modules loaded
// by name, the application menu with the recent files, and the string translator. It is the
// program's autosave too, started before the command line runs and polled on every idle pass.

#include <memory>
#include <mutex>
#include <string>

#include "core/containers/didx.h"
#include "core/files/paths.h"
#include "framework/appln/applnframe.h"
#include "framework/appln/applnmenu.h"
#include "framework/appln/applnmodule.h"
#include "framework/appln/autosave.h"

class SPLASHSCREEN;
class STRINGTRANSLATOR;

// Settings of every program and module lie below this per-user and machine-wide key, in the
// branch of the application ("%s") and of the module ("%s\%s").
constexpr const char* MAKERKEY = "Software\\Venthorne Electronics";

// One module library loaded by name: the key of the process's module index is the name.
struct MODULEINSTANCE {
    static constexpr size_t NAMELENGTH = 63;
    char name[NAMELENGTH + 1];
    HMODULE library;
    APPLNMODULE* module; // null until created
    MODULECONTEXT* context; // the module's, once created
};

template <> struct GDIDXKEY<MODULEINSTANCE> : GDIDXINLINEKEY<MODULEINSTANCE> {
};

// The exports of a module library.
using CREATEMODULEINSTANCE = APPLNMODULE* (*)(APPLNPROCESS* process, const char* args);
using DELETEMODULEINSTANCE = void (*)(APPLNMODULE* module);

class APPLNPROCESS : public APPLNMODULE, public AUTOSAVE, public IMENUOWNER {
public:
    APPLNPROCESS();
    ~APPLNPROCESS() override;

    using APPLNMODULE::launchhelp;
    using APPLNMODULE::run;

    // The whole run; the exit code (that of executecommandline).
    int run(HINSTANCE instance, HINSTANCE previous, char* commandline, int showcommand);

    virtual void createinstance(HINSTANCE instance, HINSTANCE previous);
    virtual void loadresources();
    virtual void appln_init() { }
    virtual void appln_term() { }
    // The program's process class makes and shows its splash screen; the base has none.
    virtual void showsplashscreen() { }
    virtual void hidesplashscreen();
    virtual void showsplashmessage(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // 0 ends the run without a splash screen; 1 in the base.
    virtual int parsecommandline(char* commandline) { return 1; }
    // Non-zero ends the run at once with that exit code; 0 in the base.
    virtual int executecommandline() { return 0; }
    // A global menu bar for the owner (the process, a module window): the popups of "GLOBALMENU"
    // with the global commands, their key names and the recent files. Owned by the caller.
    virtual APPLNMENU* createapplnmenu(IMENUOWNER* owner);
    // A new frame on the monitor (the primary one for null) with the application menu, appended
    // to the frames; null when its window cannot be made.
    virtual APPLNFRAME* createnewframe(HMONITOR monitor);
    // The primary window of a module in the active frame; null without module or active frame.
    virtual APPLNWINDOW* loadmodulewindow(IMODULE* module, int activate, unsigned flags);
    virtual APPLNWINDOW* loadmodulewindow(const char* name, int activate, unsigned flags);
    // Interface id of the named module (the process's own for null), loading the module on first
    // use; null when it has no such interface or is an outside module that is not installed.
    virtual IMODULE* getmoduleinterface(const char* name, unsigned id);
    // Copies the application title; returns buffer (at least 517 bytes).
    virtual char* getframecaption(char* buffer);
    // The workspace file's name in buffer, or null for none (the base).
    virtual char* getworkspacename(char* buffer) { return nullptr; }
    virtual const char* getmainhelpname() { return nullptr; }
    // Installs the handler that sees every message first; the previous one.
    virtual INPUTHANDLER* setinputhandler(INPUTHANDLER* handler);
    // With more than one frame only that frame is asked; with null or one frame every frame.
    virtual int queryclose(APPLNFRAME* frame);
    int queryclose() { return queryclose(nullptr); }
    // Closes the frame without forcing it.
    virtual int closeframe(APPLNFRAME* frame);
    // The user did something (key or mouse): there is work for the autosave.
    virtual void onsessionactive() { setactive(); }
    // A program without a project of its own keeps nothing in its autosave: nothing is written,
    // recovered or verified.
    int writeproject(FILE*) override { return 0; }
    int recoverproject(FILE*) override { return 0; }
    int verifyproject(const char*) override { return 1; }
    int startverifier(const char*) override { return 0; }
    void onverifyfailed() override { }
    // Whether a module that cannot be loaded is one from outside the system (its interfaces are
    // then null) rather than one of the system's own (which ends the run).
    virtual bool isoutsidemodule(const char* name);

    void system_init() override;
    void system_term() override;
    void oninitmenu() override { }
    // The application menu updates the popup before it opens.
    void oninitmenupopup(int index, HMENU popup) override;

    // Frames.
    void addframe(APPLNFRAME* frame);
    // Deletes a listed frame; the frames left get timer 12, the close-pending flag is set, and
    // with no frame left the run is to quit.
    void removeframe(APPLNFRAME* frame);
    APPLNFRAME* getframe(int i) const { return frames.ptr(i); }
    int numframes() const { return frames.count; }
    // The frame of the active window's top-level owner, else the first frame; null when none.
    APPLNFRAME* getactiveframe() const;
    APPLNWINDOW* getactivewindow() const;
    APPLNMODULE* getactivemodule() const;
    int numframesonmonitor(HMONITOR monitor) const;
    // Unless forced every frame must agree; then every frame is closed, forced, first first.
    void quit(int force);
    // Closes the frame on the next pass of the main loop.
    void requestclose(APPLNFRAME* frame) { frametoclose = frame; }
    void updateframecaptions();
    // Posts the message to every window of every frame, frame order then window order.
    void broadcastmessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Ends the run at the next quit check without showing a frame.
    void abort();

    // The workspace file (getworkspacename; none: nothing happens): saving writes every frame's
    // element and the settings of every loaded module that has some, replacing the file only
    // when written whole. Restoring (not when hidden, nor without a readable file, which only
    // selects the first window of frames that have none active) resets the workspace when the
    // file holds frames, gives each frame element a frame (the active one first, then new ones
    // that are removed again when nothing loads into them) and passes the module elements to the
    // modules already loaded. Resetting removes every frame but the active one, closes its
    // windows, resets every module's settings and empties the autosave.
    void saveworkspace();
    void restoreworkspace();
    void resetworkspace();

    // Puts name first in the recent files of every menu and keeps it as the file used last.
    void addmrufile(const char* name);
    // The process's own application menu; null before system_init and after system_term.
    APPLNMENU* getapplnmenu() const { return applnmenu.get(); }
    // Qt's box about itself over the active frame, captioned with the title.
    void aboutQt();

    // Help files "<file>.CHM" in the folder "HELP" of the root path.
    void launchhelp(const char* file, unsigned long id, const char* window, HWND owner);
    void popuphelp(const char* file, unsigned long id, HWND owner, int moveowner);
    void sethtmlhelpwindowpos(const char* path, const char* window, HWND owner);

    // Makes the translator collect untranslated texts into path (a strings file); 1.
    int updatetranslationfile(const char* path);
    STRINGTRANSLATOR* gettranslator() const { return translator.get(); }

    int ishidden() const { return hidden; }
    int isclosepending() const { return closepending; }
    void setclosepending(int flag) { closepending = flag; }
    int isquitpending() const { return quitpending; }
    int getexitcode() const { return exitcode; }

    // Paths as Windows path texts: the program's folder, its parent, the data folder (registry
    // value "ProgramData", else the root) and the working folder at start.
    const char* getbinpath() const { return binpath; }
    const char* getrootpath() const { return rootpath; }
    const char* getdatapath() const { return datapath; }
    const char* getlaunchpath() const { return launchpath; }
    // The data path joined with name, in a buffer of the process that the next call overwrites;
    // empty when the two would pass 516 characters.
    const char* getdatapath(const char* name);

    // The module loaded under the name; null when none is (or it could not be created).
    APPLNMODULE* findmodule(const char* name) const;
    int nummodules() const { return modules.count; }

protected:
    // Loads the named module's library on first use and creates its module; null when it cannot
    // be (an outside module), else the run ends with a message and exit code 1.
    APPLNMODULE* createmoduleinstance(const char* name, const char* args);
    void deletemoduleinstance(APPLNMODULE* module);

    // One pass of the main loop and the loop itself.
    void mainloop();
    // The process's message filter: the current input handler sees every message first.
    static BOOL filter(MSG* message);
    // Processes Qt's events once without user input.
    static void processevents();

    GDPA<APPLNFRAME> frames;
    GDIDX<MODULEINSTANCE> modules;
    int configflag = 0;
    int splashwanted = 1;
    int hidden = 0;
    int closepending = 0;
    int quitpending = 0;
    int exitcode = 0;
    std::unique_ptr<STRINGTRANSLATOR> translator;
    std::unique_ptr<APPLNMENU> applnmenu;
    INPUTHANDLER* currentinputhandler = nullptr;
    SPLASHSCREEN* splash = nullptr;
    APPLNFRAME* frametoclose = nullptr;
    char rootpath[PATHBUFFER] = {};
    char datapath[PATHBUFFER] = {};
    char binpath[PATHBUFFER] = {};
    char temppath[PATHBUFFER] = {};
    char launchpath[PATHBUFFER] = {};

private:
    void setpaths();
    void destroysplashscreen();
    void destroymodules();

    std::recursive_mutex criticalsection;
    DWORD_PTR helpcookie = 0;
    APPLNCONTEXT* previousdefault = nullptr;
};

// The process object of the run; null before it is constructed.
APPLNPROCESS* getapplnprocess();
// Posts the message to every window of every frame of the process.
void applnbroadcast(UINT message, WPARAM wParam, LPARAM lParam);
// The process's getmoduleinterface.
IMODULE* getmoduleinterface(const char* name, unsigned id);
