// The main program's own commands, as the global toolbar and menus send them: the project's file
// commands, the module windows, the outside modules' commands, quitting and help. Each command has
// a rule for when it may run; a command refused by its rule does nothing.

#include <QDesktopServices>
#include <QUrl>
#include <cstdio>
#include <strings.h>

#include "core/text/strutil.h"
#include "core/windows/registry.h"
#include "framework/appln/applnmenu.h"
#include "framework/appln/registrytext.h"
#include "platform/drelm/fileselector.h"
#include "platform/drelm/messageboxes.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/modules.h"
#include "platform/win/pathboundary.h"
#include "shell/main/aboutbox.h"
#include "shell/main/outsidemodules.h"
#include "shell/main/settingsdialog.h"
#include "shell/main/vktprocess.h"

namespace {

enum : unsigned short {
    CMD_EXIT = 315,
    CMD_MODULE = 319,
    CMD_LAYOUTCOMMAND = 352,
    CMD_MRUFILE = 373,
    CMD_NEWPROJECT = 512,
    CMD_IMPORTLEGACY = 513,
    CMD_OPENPROJECT = 514,
    CMD_OPENSAMPLE = 515,
    CMD_SAVEPROJECT = 516,
    CMD_SAVEPROJECTAS = 517,
    CMD_CLOSEPROJECT = 518,
    CMD_EXPLORE = 519,
    CMD_DESCRIPTION = 520,
    CMD_NEWFLOWCHART = 523,
    CMD_IMPORTECAD = 524,
    CMD_SETTINGS = 528,
    CMD_SAMPLE = 536,
    CMD_HELP = 544,
    CMD_ABOUT = 545,
    CMD_ABOUTQT = 546,
    CMD_SIMULATION = 564,
    CMD_VARIANT = 593,
    CMD_BOARD = 594,
};

constexpr unsigned long STR_LOADTITLE = 128;
constexpr unsigned long STR_LOADFILTER = 129;
constexpr unsigned long STR_SAVETITLE = 141;
constexpr unsigned long STR_SAVEFILTER = 142;
constexpr unsigned long STR_SAVEPANELTITLE = 143;
constexpr unsigned long STR_SAVEPANELFILTER = 144;

// The module window of each argument of the module command.
constexpr const char* modulewindows[] = {
    nullptr, "STARTUP", "TAVI", "BRIX", "KORLIX", "SPANDO", "PELVARD", "BOM", "ZMVSTUDIO", "MERVALE"
};

// When a command may run.
enum class RULE {
    ALWAYS,
    NOTBUILT, // what it shows is not built yet
    SCHEMATIC, // the schematic module is there
    LAYOUT, // the project has a layout
    PROJECT, // a project is open: titled, changed or holding a document
    EXPLORE, // there is a folder to open
    RECENTFILE, // the list holds the entry
    VARIANTS, // the project has variants to choose from
    BOARDS, // the project has boards to choose from
};

struct COMMANDRULE {
    unsigned short command; // the low 12 bits
    int argument; // -1: any
    RULE rule;
};

constexpr COMMANDRULE rules[] = {
    { CMD_EXIT, -1, RULE::ALWAYS },
    { CMD_MODULE, 2, RULE::SCHEMATIC },
    { CMD_MODULE, 4, RULE::LAYOUT },
    { CMD_MODULE, -1, RULE::ALWAYS },
    { CMD_LAYOUTCOMMAND, -1, RULE::ALWAYS },
    { CMD_MRUFILE, -1, RULE::RECENTFILE },
    { CMD_NEWPROJECT, -1, RULE::NOTBUILT },
    { CMD_IMPORTLEGACY, -1, RULE::NOTBUILT },
    { CMD_OPENPROJECT, -1, RULE::ALWAYS },
    { CMD_OPENSAMPLE, -1, RULE::NOTBUILT },
    { CMD_SAVEPROJECT, -1, RULE::ALWAYS },
    { CMD_SAVEPROJECTAS, -1, RULE::ALWAYS },
    { CMD_CLOSEPROJECT, -1, RULE::PROJECT },
    { CMD_EXPLORE, -1, RULE::EXPLORE },
    { CMD_DESCRIPTION, -1, RULE::NOTBUILT },
    { CMD_NEWFLOWCHART, -1, RULE::NOTBUILT },
    { CMD_IMPORTECAD, -1, RULE::ALWAYS },
    { CMD_SETTINGS, -1, RULE::ALWAYS },
    { CMD_HELP, -1, RULE::ALWAYS },
    { CMD_ABOUT, -1, RULE::ALWAYS },
    { CMD_ABOUTQT, -1, RULE::ALWAYS },
    { CMD_SIMULATION, -1, RULE::ALWAYS },
    { CMD_VARIANT, -1, RULE::VARIANTS },
    { CMD_BOARD, -1, RULE::BOARDS },
};

const COMMANDRULE* findrule(unsigned short id)
{
    for (const COMMANDRULE& row : rules)
        if (row.command == (id & 0xFFF) && (row.argument < 0 || row.argument == id >> 12))
            return &row;
    return nullptr;
}

} // namespace

int VKTPROCESS::iscommandenabled(unsigned short id)
{
    const COMMANDRULE* row = findrule(id);
    if (!row)
        return 0;
    switch (row->rule) {
    case RULE::ALWAYS:
        return 1;
    case RULE::NOTBUILT:
        return 0;
    case RULE::SCHEMATIC:
        if (schematicpresent < 0)
            schematicpresent = findmodule(SCHEMATICMODULE) || moduleexists(SCHEMATICMODULE);
        return schematicpresent;
    case RULE::LAYOUT:
        return project.layout() != nullptr;
    case RULE::PROJECT:
        return !project.isuntitled() || project.isdirty() || project.isdesignproject() || project.ispanelproject();
    case RULE::EXPLORE: {
        char folder[PATHBUFFER];
        return explorefolder(folder);
    }
    case RULE::RECENTFILE:
        return APPLNMENU::mrufile(id >> 12) != nullptr;
    case RULE::VARIANTS:
        return project.hasvariants();
    case RULE::BOARDS:
        return project.ismultiboard();
    }
    return 0;
}

int VKTPROCESS::docommand(unsigned short id)
{
    if (!iscommandenabled(id))
        return 1;
    pushcontext();
    const int argument = id >> 12;
    switch (id & 0xFFF) {
    case CMD_EXIT:
        quit(0);
        break;
    case CMD_MODULE:
        showmodule(argument);
        break;
    case CMD_LAYOUTCOMMAND:
    case CMD_SIMULATION:
        sendtomodule((id & 0xFFF) == CMD_LAYOUTCOMMAND ? "BRIX" : SIMULATIONHOST, id);
        break;
    case CMD_MRUFILE:
    case CMD_OPENPROJECT:
        openproject(id);
        break;
    case CMD_SAVEPROJECT:
    case CMD_SAVEPROJECTAS:
        saveproject((id & 0xFFF) == CMD_SAVEPROJECTAS);
        break;
    case CMD_CLOSEPROJECT:
        resetproject();
        break;
    case CMD_EXPLORE:
        explore();
        break;
    case CMD_IMPORTECAD:
        importecad();
        break;
    case CMD_HELP:
        launchhelp("VKT.CHM", 0, nullptr, nullptr);
        break;
    case CMD_SETTINGS:
        editsettings();
        break;
    case CMD_ABOUT:
        showabout();
        break;
    case CMD_ABOUTQT:
        aboutQt();
        break;
    case CMD_VARIANT:
        project.selectvariant(argument ? static_cast<char>('A' + argument - 1) : 'b');
        break;
    case CMD_BOARD:
        if (project.selectboardindex(argument))
            project.reloadboards();
        break;
    default:
        break;
    }
    popcontext();
    return 1;
}

int VKTPROCESS::getuistate(unsigned short id, UISTATE* state)
{
    if (id == CMD_SAMPLE) {
        *state = { 0, project.issample() };
        return 1;
    }
    if (!findrule(id))
        return 0;
    *state = { iscommandenabled(id), 0 };
    return 1;
}

void VKTPROCESS::reportmissingmodule(const char* name)
{
    static constexpr struct {
        const char* module;
        const char* what;
    } kinds[] = {
        { "STARTUP", "home page" },
        { "BRIX", "PCB layout" },
        { "KORLIX", "3D view" },
        { "SPANDO", "viewer" },
        { "PELVARD", "design explorer" },
        { "BOM", "bill of materials" },
        { "ZMVSTUDIO", "firmware IDE" },
        { "MERVALE", "project notes" },
        { "GRESHOLD", "design import" },
        { "TUMBRAL", "report export" },
        { SIMULATIONHOST, "simulation" },
    };
    const char* what = "";
    for (const auto& kind : kinds)
        if (strcasecmp(kind.module, name) == 0)
            what = kind.what;
    char text[256];
    snprintf(text, sizeof text, "The %s module '%s' is not installed: the command does nothing.", what, name);
    errbox(text);
}

APPLNMODULE* VKTPROCESS::requiremodule(const char* name)
{
    if (getmoduleinterface(name, 0))
        return findmodule(name);
    reportmissingmodule(name);
    return nullptr;
}

void VKTPROCESS::sendtomodule(const char* name, unsigned short id)
{
    APPLNMODULE* module = requiremodule(name);
    if (!module)
        return;
    MODULESCOPE scope(module);
    module->docommand(id);
}

void VKTPROCESS::showmodule(int argument)
{
    if (argument < 1 || argument >= static_cast<int>(std::size(modulewindows)))
        return;
    // What the module shows is asked of it only when it is there, so that a missing module leaves
    // the project as it was.
    const bool panel = argument == 5 && !project.isdesignproject();
    if (!requiremodule(modulewindows[argument]))
        return;
    switch (argument) {
    case 2:
        project.opendesign(1);
        return;
    case 3:
        project.openlayout(1);
        return;
    case 8:
        project.openfirmware(1);
        return;
    case 9:
        project.openmervale(1);
        return;
    }
    if (panel)
        project.openpanel(1);
    else
        loadmodulewindow(modulewindows[argument], 1, 0);
}

void VKTPROCESS::importecad()
{
    auto* importer = static_cast<IDESIGNIMPORT*>(getmoduleinterface("GRESHOLD", 37));
    if (!importer) {
        reportmissingmodule("GRESHOLD");
        return;
    }
    if (!APPLNPROCESS::queryclose(nullptr) || !project.closequery(isquitpending()))
        return;
    project.init();
    loadmodulewindow("STARTUP", 1, 0);
    char folder[PATHBUFFER];
    newprojectfolder(folder);
    if (!importer->importproject(folder))
        return;
    APPLNFRAME* frame = getactiveframe();
    APPLNWINDOW* home = frame && findmodule("STARTUP") ? findmodule("STARTUP")->getprimarywindow(frame) : nullptr;
    if (home)
        SendMessageA(home->hwnd, WM_CLOSE, 0, 0);
    updateframecaptions();
}

void VKTPROCESS::resetproject()
{
    if (!APPLNPROCESS::queryclose(nullptr) || !project.closequery(isquitpending()))
        return;
    project.init();
    loadmodulewindow("STARTUP", 1, 0);
    updateframecaptions();
}

void VKTPROCESS::newprojectfolder(char* folder)
{
    switch (folderopenmode) {
    case 1: {
        std::string last;
        if (reg_getpath(nullptr, "LastFileUsed", last) && !last.empty() && last.size() < PATHBUFFER) {
            pathtrim(folder, last.c_str());
            return;
        }
        break;
    }
    case 2:
        strnzcpy(folder, documentpath, PATHBUFFER - 1);
        return;
    case 3:
        strnzcpy(folder, project.getcwd(), PATHBUFFER - 1);
        return;
    }
    strnzcpy(folder, documentsfolder, PATHBUFFER - 1);
}

int VKTPROCESS::explorefolder(char* folder)
{
    folder[0] = '\0';
    if (!project.isuntitled()) {
        pathtrim(folder, project.pathname());
        return 1;
    }
    if (folderopenmode == 3)
        return 0;
    newprojectfolder(folder);
    return *folder != '\0';
}

void VKTPROCESS::explore()
{
    char folder[PATHBUFFER];
    if (explorefolder(folder))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(toposixpath(folder).c_str())));
}

void VKTPROCESS::openproject(unsigned short id)
{
    if (!APPLNPROCESS::queryclose(nullptr) || !project.closequery(isquitpending()))
        return;
    char path[PATHBUFFER] = "";
    if ((id & 0xFFF) == CMD_MRUFILE) {
        strnzcpy(path, APPLNMENU::mrufile(id >> 12), PATHBUFFER - 1);
    } else {
        char folder[PATHBUFFER];
        newprojectfolder(folder);
        FILESELECTOR selector(
            getapplnstring(STR_LOADTITLE), getapplnstring(STR_LOADFILTER), "vktprj", folder);
        APPLNFRAME* frame = getactiveframe();
        if (!selector.open(frame ? frame->hwnd : nullptr))
            return;
        strnzcpy(path, selector.getpath(0), PATHBUFFER - 1);
    }
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    project.openbytype(path);
    SetCursor(previous);
}

void VKTPROCESS::saveproject(int askname)
{
    if (!askname && !project.isuntitled()) {
        project.save(project.pathname());
        updateframecaptions();
        return;
    }
    const bool panel = project.ispanelproject();
    FILESELECTOR selector(getapplnstring(panel ? STR_SAVEPANELTITLE : STR_SAVETITLE),
        getapplnstring(panel ? STR_SAVEPANELFILTER : STR_SAVEFILTER), panel ? "vktpnl" : "vktprj",
        project.pathname());
    APPLNFRAME* frame = getactiveframe();
    if (!selector.save(frame ? frame->hwnd : nullptr))
        return;
    if (project.save(selector.getpath(0)))
        updateframecaptions();
}
