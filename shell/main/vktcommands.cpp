// The main program's own commands, as the global toolbar and menus send them: new, open, save and
// close of the project, the module windows, quitting and help.

#include <unistd.h>

#include "core/text/strutil.h"
#include "core/windows/registry.h"
#include "framework/appln/applnmenu.h"
#include "platform/drelm/fileselector.h"
#include "platform/win/input.h"
#include "shell/main/vktprocess.h"

namespace {

enum : unsigned short {
    CMD_EXIT = 315,
    CMD_MODULE = 319,
    CMD_MRUFILE = 373,
    CMD_NEWPROJECT = 512,
    CMD_OPENPROJECT = 514,
    CMD_SAVEPROJECT = 516,
    CMD_SAVEPROJECTAS = 517,
    CMD_CLOSEPROJECT = 518,
    CMD_SAMPLE = 536,
    CMD_HELP = 544,
    CMD_ABOUTQT = 546,
};

constexpr unsigned long STR_LOADTITLE = 128;
constexpr unsigned long STR_LOADFILTER = 129;
constexpr unsigned long STR_SAVETITLE = 141;
constexpr unsigned long STR_SAVEFILTER = 142;
constexpr unsigned long STR_SAVEPANELTITLE = 143;
constexpr unsigned long STR_SAVEPANELFILTER = 144;

} // namespace

int VKTPROCESS::docommand(unsigned short id)
{
    pushcontext();
    const int argument = id >> 12;
    switch (id & 0xFFF) {
    case CMD_EXIT:
        quit(0);
        break;
    case CMD_MODULE:
        showmodule(argument);
        break;
    case CMD_MRUFILE:
    case CMD_OPENPROJECT:
        openproject(id);
        break;
    case CMD_NEWPROJECT:
        resetproject();
        break;
    case CMD_SAVEPROJECT:
    case CMD_SAVEPROJECTAS:
        saveproject((id & 0xFFF) == CMD_SAVEPROJECTAS);
        break;
    case CMD_CLOSEPROJECT:
        resetproject();
        break;
    case CMD_HELP:
        launchhelp("VKT.CHM", 0, nullptr, nullptr);
        break;
    case CMD_ABOUTQT:
        aboutQt();
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
    if (id == (CMD_MODULE | 4 << 12)) {
        state->enabled = project.layout() != nullptr;
        return 1;
    }
    if (id == (CMD_MODULE | 5 << 12)) {
        *state = { 1, 0 };
        return 1;
    }
    return 0;
}

void VKTPROCESS::showmodule(int argument)
{
    static constexpr const char* named[]
        = { nullptr, "STARTUP", nullptr, nullptr, "KORLIX", "SPANDO", "PELVARD", "BOM" };
    switch (argument) {
    case 2:
        project.opendesign(1);
        return;
    case 3:
        project.openlayout(1);
        return;
    case 5:
        if (!project.isdesignproject()) {
            project.openpanel(1);
            return;
        }
        break;
    case 8:
        project.openfirmware(1);
        return;
    case 9:
        project.openmervale(1);
        return;
    }
    if (argument >= 1 && argument <= 7 && named[argument])
        loadmodulewindow(named[argument], 1, 0);
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
    case 1:
        if (reg_getstr(nullptr, "LastFileUsed", folder, PATHBUFFER) > 0) {
            pathtrim(folder, folder);
            return;
        }
        break;
    case 2:
        strnzcpy(folder, documentpath, PATHBUFFER - 1);
        return;
    case 3:
        strnzcpy(folder, project.getcwd(), PATHBUFFER - 1);
        return;
    }
    strnzcpy(folder, documentsfolder, PATHBUFFER - 1);
}

void VKTPROCESS::openproject(unsigned short id)
{
    if (!APPLNPROCESS::queryclose(nullptr) || !project.closequery(isquitpending()))
        return;
    char path[PATHBUFFER] = "";
    if ((id & 0xFFF) == CMD_MRUFILE) {
        const int index = id >> 12;
        if (index >= APPLNMENU::getmrulistlen() || !APPLNMENU::mrufile(index))
            return;
        strnzcpy(path, APPLNMENU::mrufile(index), PATHBUFFER - 1);
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
