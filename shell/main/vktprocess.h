#pragma once

// The process of the main program: it starts the suite (paths, settings, the local server, the
// first frame with the global toolbar), owns the one project and offers it to the modules as
// interface 2, answers the program's own commands, and decides what closing a frame or quitting
// means for the project's work.
//
// Its settings lie in the subkey "CORE" of the program's key; the folder lists and paths that the
// modules share lie in the program's key itself, read from the user's settings over the machine's.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/containers/proplist.h"
#include "framework/appln/applnprocess.h"
#include "shell/project/vktproject.h"

namespace Internet {
class Server;
}

class VKTPROCESS : public APPLNPROCESS {
public:
    static constexpr const char* TITLE = "Corvane 8 Professional";
    static constexpr unsigned short LOCALSERVERPORT = 30713;
    static constexpr unsigned GLOBALTOOLBAR = 4096;
    static constexpr const char* SCHEMATICMODULE = "TAVI";
    static constexpr const char* SIMULATIONHOST = "ZMVDEBUG";

    VKTPROCESS();
    ~VKTPROCESS() override;

    const char* getregistrykey() override { return "CORE"; }
    int onidle() override;
    void onfirstrun(unsigned long newversion, unsigned long oldversion) override;
    void appln_init() override;
    // The callbacks of the program's forms, by form name.
    void loadcbftable() override;
    void appln_term() override;
    void showsplashscreen() override;
    void hidesplashscreen() override;
    int parsecommandline(char* commandline) override;
    int executecommandline() override;
    // The base frame with the global toolbar.
    APPLNFRAME* createnewframe(HMONITOR monitor) override;
    // The project's path name, then "." and USERDOMAIN and "." and USERNAME where they are set,
    // then ".workspace"; null (and "") for an untitled project.
    char* getworkspacename(char* buffer) override;
    const char* getmainhelpname() override { return "VKT"; }
    // The title, then " - " and the project's file name ("Untitled" for a new project that was
    // changed) with "*" while it has changes not saved; the title alone for an untitled project
    // without changes.
    char* getframecaption(char* buffer) override;
    int queryclose(APPLNFRAME* frame) override;
    // The last frame never closes: it keeps an untitled project with the home page.
    int closeframe(APPLNFRAME* frame) override;

    // The autosave: the changed project, after its path, into the autosave file; recovering it at
    // start-up when the user agrees; checking a copy in a child run of the program (vkt -a FILE),
    // which loads it as a project would be loaded; and ending the run, its files kept, when a copy
    // did not load.
    int writeproject(FILE* stream) override;
    int recoverproject(FILE* stream) override;
    int verifyproject(const char* path) override;
    int startverifier(const char* path) override;
    void onverifyfailed() override;

    // Commands refused by their rule do nothing; every id is answered 1.
    int docommand(unsigned short id) override;
    int getuistate(unsigned short id, UISTATE* state) override;
    // Non-zero when the command's rule lets it run now; 0 for an id that is not the program's.
    int iscommandenabled(unsigned short id);
    const char* getstringcontext() override { return "CORE"; }

    VKTPROJECT& getproject() { return project; }
    const PROPLIST& getlaunchargs() const { return launchargs; }
    const std::vector<std::pair<std::string, std::string>>& getmodulelaunches() const
    {
        return modulelaunches;
    }
    const char* getbadargument() const { return badargument; }
    int isverifymode() const { return verifymode; }
    int isembedding() const { return embedding; }
    int getconfigflag() const { return configflag; }
    int issplashwanted() const { return splashwanted; }

    // The settings of the main program.
    int getfolderopenmode() const { return folderopenmode; }
    const char* getdocumentpath() const { return documentpath; }
    const char* getdocumentsfolder() const { return documentsfolder; }
    int getautosaveinterval() const { return autosaveinterval; }
    const Internet::Server* getlocalserver() const { return localserver.get(); }

protected:
    // The project written under its own name, or under a name the user gives for an untitled one.
    void saveproject(int askname);

private:
    // The user's data of the program, a Windows path: the folder of the strings file too.
    static void localdatafolder(char* folder);
    void readfolders();
    void readsettings();
    void startlocalserver();
    void checkpropdefs();
    // The folder the file selectors of New and Open start in, by the folder-open mode.
    void newprojectfolder(char* folder);
    // The folder Explore opens into folder; 0 when there is none.
    int explorefolder(char* folder);
    void explore();
    void showmodule(int argument);
    void openproject(unsigned short id);
    void resetproject();
    void importecad();
    // The System Settings dialog; what the user confirmed takes effect at once.
    void editsettings();
    void idelaunch(const char* inifile);
    // The module, loaded when it is not yet; null, after telling the user, when it is not installed.
    APPLNMODULE* requiremodule(const char* name);
    void reportmissingmodule(const char* name);
    // The command to the module's command target, with its context current.
    void sendtomodule(const char* name, unsigned short id);
    // The enabled state of the global toolbars' buttons brought up to date.
    void updateglobaltoolbars();

    VKTPROJECT project; // constructed first among the members, destroyed last
    PROPLIST launchargs { 0, 1 };
    // NAME and value of each {NAME value} of the command line, in its order.
    std::vector<std::pair<std::string, std::string>> modulelaunches;
    int verifymode = 0;
    int embedding = 0;
    char* badargument = nullptr; // into the command line the run was started with
    IMODULE* reporter = nullptr; // the report module's interface 25; null while not installed
    IMODULE* importer = nullptr; // the import module's interface 37; null while not installed
    std::unique_ptr<Internet::Server> localserver;
    char documentsfolder[PATHBUFFER] = "";
    char documentpath[PATHBUFFER] = "";
    char backupfolder[PATHBUFFER] = "Project Backups";
    int folderopenmode = 0;
    int undolevels = 20;
    int backuplevels = 10;
    int autosaveinterval = 10;
    std::string shownframecaption; // what the frames show of the process's caption
    int schematicpresent = -1; // whether the schematic module is installed; -1 until asked
};
