// The main program's folders and settings: filled at start-up from the installation, the user's
// folders and the registry, and the program's own settings written back at the end.

#include <QString>
#include <QUuid>
#include <cstring>
#include <string>
#include <unistd.h>

#include "core/files/folders.h"
#include "core/text/strutil.h"
#include "core/windows/registry.h"
#include "framework/appln/registrytext.h"
#include "framework/bars/ctrlbar.h"
#include "platform/casq/sgdvc.h"
#include "platform/frosk/server.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/pathboundary.h"
#include "platform/win/userfolders.h"
#include "shell/main/vktpaths.h"
#include "shell/main/vktprocess.h"

char path_root[PATHBUFFER];
char path_bin[PATHBUFFER];
char path_help[PATHBUFFER];
char path_localdata[PATHBUFFER];
char partition_path[PATHBUFFER];
int partition_kb_limit = 10000;
char viewdata_path[PATHBUFFER];
char download_path[PATHBUFFER];
char mcad_user_path[PATHBUFFER];
char mcad_cache[PATHBUFFER];
char mcad_temp_path[PATHBUFFER];
char cadcam_path[PATHBUFFER];
char snippets_path[PATHBUFFER];
int OEMVER;

namespace {

constexpr const char* makerfolder = "Venthorne Electronics\\Corvane";
constexpr int shortpath = 261; // the registry's paths of one folder

constexpr const char* FOLDEROPENMODE = "Folder Open Mode";
constexpr const char* DOCUMENTPATH = "Document Path";
constexpr const char* UNDOLEVELS = "Undo Levels";
constexpr const char* BACKUPLEVELS = "Backup Levels";
constexpr const char* BACKUPFOLDER = "Backup Folder";
constexpr const char* AUTOSAVEINTERVAL = "Autosave Interval";
constexpr const char* TOOLBARSIZE = "Toolbar Size";

// The path (or list of paths) into buffer when it is there and fits; otherwise buffer keeps what
// it held.
void readpath(const char* key, const char* value, char* buffer, int size)
{
    std::string read;
    if (reg_getpath(key, value, read) && !read.empty() && read.size() < static_cast<size_t>(size))
        strnzcpy(buffer, read.c_str(), size - 1);
}

void readnumber(const char* key, const char* value, int& number)
{
    number = static_cast<int>(reg_getdw(key, value, static_cast<DWORD>(number)));
}

// folder\name, the folder made with the levels above it when missing.
void makefolder(char* path, const char* folder, const char* name)
{
    addfilename(path, folder, name);
    mkpath(path);
}

} // namespace

void VKTPROCESS::localdatafolder(char* folder)
{
    char data[PATHBUFFER] = "";
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, data);
    addfilename(folder, data, makerfolder);
}

void VKTPROCESS::readfolders()
{
    strnzcpy(path_root, getrootpath(), PATHBUFFER - 1);
    strnzcpy(path_bin, getbinpath(), PATHBUFFER - 1);
    strnzcpy(path_help, APPLNPROCESS::getdatapath("HELP"), PATHBUFFER - 1);
    strnzcpy(library_paths, APPLNPROCESS::getdatapath("Library"), LIBRARYPATHSIZE - 1);
    strnzcpy(template_paths, APPLNPROCESS::getdatapath("Templates"), LIBRARYPATHSIZE - 1);
    strnzcpy(viewdata_path, APPLNPROCESS::getdatapath("Datasheets"), PATHBUFFER - 1);
    strnzcpy(download_path, APPLNPROCESS::getdatapath("Downloads"), PATHBUFFER - 1);
    strnzcpy(mcad_user_path, APPLNPROCESS::getdatapath("MCAD"), PATHBUFFER - 1);
    strnzcpy(snippets_path, APPLNPROCESS::getdatapath("Snippets"), PATHBUFFER - 1);
    strnzcpy(module_paths, APPLNPROCESS::getdatapath("Models"), LIBRARYPATHSIZE - 1);

    // The user's data below the data folder, the caches below the cache folder.
    localdatafolder(path_localdata);
    char cache[PATHBUFFER];
    addfilename(cache, usercachefolder().c_str(), makerfolder);
    addfilename(partition_path, path_localdata, "Simulation Results");
    addfilename(mcad_cache, cache, "Tessellation Cache");
    // Each run its own model cache, so that two runs never share one.
    char models[PATHBUFFER];
    addfilename(models, cache, "MCAD Model Cache");
    const std::string run = QUuid::createUuid().toString(QUuid::Id128).toUpper().toStdString();
    makefolder(mcad_temp_path, models, run.c_str());
    mkpath(mcad_cache);

    SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documentsfolder);
}

void VKTPROCESS::readsettings()
{
    HKEY previous = reg_setrootkey(HKEY_LOCAL_MACHINE);
    OEMVER = static_cast<int>(reg_getdw(nullptr, "OEMVER", 0));
    reg_setrootkey(REGISTRY_USERTHENMACHINE);
    readpath(nullptr, "Library Paths", library_paths, LIBRARYPATHSIZE);
    readpath(nullptr, "Template Paths", template_paths, LIBRARYPATHSIZE);
    readpath(nullptr, "Datasheets Path", viewdata_path, shortpath);
    readpath(nullptr, "Module Paths", module_paths, LIBRARYPATHSIZE);
    readpath(nullptr, "Results Path", partition_path, shortpath);
    readnumber(nullptr, "Results Limit", partition_kb_limit);
    readpath(nullptr, "CADCAM Path", cadcam_path, shortpath);
    readpath(nullptr, "MCAD Path", mcad_user_path, shortpath);
    readpath(nullptr, "MCAD Cache", mcad_cache, shortpath);
    readpath(nullptr, "Snippets Path", snippets_path, shortpath);
    readnumber(nullptr, "Library Locale", library_locale);
    reg_setrootkey(previous);

    const char* key = getregistrykey();
    readnumber(key, FOLDEROPENMODE, folderopenmode);
    strnzcpy(documentpath, documentsfolder, PATHBUFFER - 1);
    readpath(key, DOCUMENTPATH, documentpath, PATHBUFFER);
    readnumber(key, UNDOLEVELS, undolevels);
    readnumber(key, BACKUPLEVELS, backuplevels);
    readpath(key, BACKUPFOLDER, backupfolder, PATHBUFFER);
    readnumber(key, AUTOSAVEINTERVAL, autosaveinterval);
    int toolbarsize = 0;
    readnumber(key, TOOLBARSIZE, toolbarsize);
    CTRLBAR::setsizing(toolbarsize);
    project.setmaxundolevels(undolevels);
    project.setbackuplevels(backuplevels);
    project.setbackupfolder(backupfolder);
    setinterval(autosaveinterval > 0 ? static_cast<unsigned>(autosaveinterval) : 0);
    // Made only here, where the user's setting may have moved it.
    mkpath(partition_path);
}

void VKTPROCESS::startlocalserver()
{
    reporter = getmoduleinterface("TUMBRAL", 25);
    localserver = std::make_unique<Internet::Server>(LOCALSERVERPORT, nullptr);
    QString error;
    if (!localserver->initialise(reporter, error)) {
        std::string line = "Local server on port " + std::to_string(LOCALSERVERPORT)
            + " not started: " + error.toLocal8Bit().toStdString();
        excp.log(line.c_str());
    }
}

void VKTPROCESS::appln_init()
{
    readfolders();
    readsettings();
    startlocalserver();
    gdiplus_startup();
}

void VKTPROCESS::appln_term()
{
    const char* key = getregistrykey();
    reg_putval(key, FOLDEROPENMODE, static_cast<DWORD>(folderopenmode));
    reg_putpath(key, DOCUMENTPATH, documentpath);
    reg_putval(key, UNDOLEVELS, static_cast<DWORD>(project.getmaxundolevels()));
    reg_putval(key, BACKUPLEVELS, static_cast<DWORD>(project.getbackuplevels()));
    reg_putpath(key, BACKUPFOLDER, backupfolder);
    reg_putval(key, AUTOSAVEINTERVAL, static_cast<DWORD>(autosaveinterval));
    reg_putval(key, TOOLBARSIZE, static_cast<DWORD>(CTRLBAR::getsizing()));
    if (*mcad_temp_path) {
        rmpath(mcad_temp_path, 1);
        rmdir(toposixpath(mcad_temp_path).c_str());
    }
    project.zap();
    localserver.reset();
    gdiplus_shutdown();
}
