#include "framework/editor/applneditor.h"

#include <QDesktopServices>
#include <QUrl>

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "framework/appln/applnmenu.h"
#include "framework/appln/applnprocess.h"
#include "framework/context/windowmessages.h"
#include "framework/documents/applndocument.h"
#include "framework/documents/applnproject.h"
#include "platform/drelm/messageboxes.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/modules.h"
#include "platform/win/window.h"

APPLNEDITOR::APPLNEDITOR(
    APPLNPROCESS* process, APPLNDOCUMENT& edited, APPLNEDITSTATUS& editstatus, const EDITCOMMAND* table)
    : APPLNMODULE(process)
    , document(edited)
    , status(editstatus)
    , commands(table)
{
    status = APPLNEDITSTATUS();
    settings.register_applnvar("Graphics Mode", APPLNVAR_INT, &graphicsmode, 0);
    settings.register_applnvar("Graphics MultiSampling", APPLNVAR_INT, &multisampling, 0);
    settings.register_applnvar("Grid Colour", APPLNVAR_COLOUR, &gridcolour, 0);
    settings.register_applnvar("Grid Alpha Black", APPLNVAR_BYTE, &gridalphablack, 0);
    settings.register_applnvar("Grid Alpha White", APPLNVAR_BYTE, &gridalphawhite, 0);
    settings.register_applnvar("Grid Imperial", APPLNVAR_BINARY, gridimperial, sizeof gridimperial);
    settings.register_applnvar("Grid Metric", APPLNVAR_BINARY, gridmetric, sizeof gridmetric);
    settings.register_applnvar("Grid Threshold", APPLNVAR_INT, &gridthreshold, 0);
    settings.register_applnvar("HA Interval", APPLNVAR_INT, &hainterval, 0);
    settings.register_applnvar("HA Attack", APPLNVAR_INT, &haattack, 0);
    settings.register_applnvar("HA Release", APPLNVAR_INT, &harelease, 0);
    settings.register_applnvar("AP Distance", APPLNVAR_INT, &apdistance, 0);
    settings.register_applnvar("AP Steps", APPLNVAR_INT, &apsteps, 0);
    settings.register_applnvar("AP Time", APPLNVAR_INT, &aptime, 0);
}

APPLNEDITOR::~APPLNEDITOR()
{
    // The window goes first: its view device calls back into this editor.
    destroywindow();
    status.handles.zap();
}

int APPLNEDITOR::docommand(unsigned short id)
{
    status.command = id;
    if (status.nesting)
        return editor_docommand(id);
    editor_precommand();
    status.changenew = VOIDBOX;
    status.changeold = status.changenew;
    status.modified = 0;
    int result = 0;
    if (id == EDITCMD_LEFTCLICK || id == EDITCMD_RIGHTCLICK) {
        inputhandler.attach(maindevice.get());
        oneditcmd(status.command);
        inputhandler.detach();
        result = 1;
    } else if (id == EDITCMD_SELECTOR) {
        onselchange();
        if (previewhandler)
            (this->*previewhandler)();
        result = 1;
    } else if (id >= EDITCMD_TOOLBOXFIRST && id <= EDITCMD_TOOLBOXLAST && selectorhandler) {
        if ((this->*selectorhandler)())
            status.modified = 1;
        result = 1;
    } else if (id) {
        result = editor_docommand(id);
    }
    if (!status.changenew.isvoid() || !status.changeold.isvoid())
        editor_refresh();
    editor_postcommand();
    if (status.modified)
        document.setdirty(1);
    resetstatusmsg(0);
    status.command = 0;
    return result;
}

int APPLNEDITOR::onmenucmd(unsigned short id)
{
    const EDITCOMMAND* found = nullptr;
    for (const EDITCOMMAND* row = commands; row && row->id; ++row)
        if (row->id == (id & 0xFFF))
            found = row;
    if (!found)
        return 0;
    if (!found->handler)
        return 1;
    APPLNPROJECT* project = document.getproject();
    if (project && project->isreadonly() && (found->flags & EDITCMDF_WRITES)) {
        oncmderror(CMDERR_READONLY);
        return 1;
    }
    if (document.islocked() && (found->flags & EDITCMDF_UNDO)) {
        oncmderror(CMDERR_LOCKED);
        return 1;
    }
    if (status.nesting > 0 && getmenubar())
        getmenubar()->select(id);
    runrow(*found);
    return 1;
}

void APPLNEDITOR::runrow(const EDITCOMMAND& row)
{
    if (status.nesting++ > 0) {
        (this->*row.handler)();
        --status.nesting;
        return;
    }
    if (row.flags & EDITCMDF_UNDO)
        undoframectl(int(row.flags & EDITCMDF_UNDOMODE));
    int succeeded = (this->*row.handler)();
    undoframectl(succeeded ? 3 : 4);
    --status.nesting;
}

void APPLNEDITOR::oncmderror(CMDERRORS code)
{
    switch (code) {
    case CMDERR_READONLY:
        error("Design is readonly");
        break;
    case CMDERR_LOCKED:
        error("Design is locked");
        break;
    case CMDERR_MODE:
        error("Invalid editor mode");
        break;
    }
}

int APPLNEDITOR::getuistate(unsigned short id, UISTATE* state)
{
    MODULESCOPE scope(this);
    return editor_getuistate(id, state);
}

void APPLNEDITOR::editor_preamble()
{
    if (status.modepending && hwnd) {
        status.command = EDITCMD_MODE;
        editor_mode();
    }
}

void APPLNEDITOR::editor_precommand()
{
    if (hwnd && maindevice)
        maindevice->showcursor(0);
}

int APPLNEDITOR::editor_mode()
{
    previewhandler = nullptr;
    selectorhandler = nullptr;
    editor_submode();
    return 1;
}

int APPLNEDITOR::editor_refresh()
{
    if (hwnd)
        refresh(0);
    return 1;
}

int APPLNEDITOR::edit_undo()
{
    APPLNPROJECT* project = document.getproject();
    if (!project)
        return 0;
    // 5 undoes; any other mode redoes.
    return project->restore(status.command == EDITCMD_UNDO ? UNDO_UNDOING : 6);
}

void APPLNEDITOR::cleartags()
{
    status.tags.empty();
    status.ctxobject = nullptr;
}

void APPLNEDITOR::update(BOX& old, BOX& now)
{
    status.tags.update(old, now);
    if (status.tags.getarea(AREA_SELECT).isvoid() && status.ctxobject == &status.tags)
        status.ctxobject = nullptr;
}

void APPLNEDITOR::gettoolboxcontexts(int mode, GSLIST<unsigned short>& contexts)
{
    contexts.append(0x140);
}

void APPLNEDITOR::system_init()
{
    APPLNMODULE::system_init();
    APPLNMODULE::context.document = &document;
    if (APPLNPROCESS* owner = getprocess())
        strnzcpy(startpath, owner->getlaunchpath(), sizeof startpath - 1);
    GetModuleFileNameA(getmoduleinstance(), modulefile, sizeof modulefile);
    char folder[517];
    pathtrim(folder, modulefile);
    strnzcpy(modulepath, folder, sizeof modulepath - 1);
    pathtrim(folder, modulepath);
    strnzcpy(parentpath, folder, sizeof parentpath - 1);
    handedtext[0] = 0;
    openlibraries();
}

void APPLNEDITOR::system_term()
{
    closelibraries();
    removewindow(this);
    APPLNMODULE::system_term();
}

APPLNWINDOW* APPLNEDITOR::getprimarywindow(APPLNFRAME* frame, unsigned id)
{
    MODULESCOPE scope(this);
    if (!primarywindow && frame) {
        setowner(this);
        if (createwindow(frame)) {
            primarywindow = this;
            status.modepending = 1;
            status.nesting = 0;
        }
    }
    return primarywindow;
}

int APPLNEDITOR::pumpmessages(APPLNWINDOW* window, int wait)
{
    if (!window)
        return 0;
    MODULESCOPE scope(this);
    editor_preamble();
    status.modified = 0;
    status.modepending = 0;
    if (hwnd) {
        oninitmenu();
        onidle();
        if (maindevice)
            maindevice->showcursor(1);
    }
    inputhandler.reset();
    return inputhandler.getmessage(wait);
}

LRESULT APPLNEDITOR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        if (maindevice)
            SetFocus(maindevice->gethwnd());
        return 0;
    case WM_MOUSEACTIVATE:
        // The click that activates the frame is not also an edit (unless the status lets it be).
        if (maindevice && window == maindevice->gethwnd() && frame && frame->hwnd != GetActiveWindow()
            && !status.clickthrough)
            return MA_ACTIVATEANDEAT;
        break;
    case WM_EDITORTEXT:
        if (lParam)
            strnzcpy(handedtext, reinterpret_cast<const char*>(lParam), sizeof handedtext - 1);
        PostMessageA(hwnd, WM_COMMAND, EDITCMD_TEXT, 0);
        return 0;
    case WM_AREACHANGED:
        if (const BOX* area = reinterpret_cast<const BOX*>(lParam)) {
            status.changeold |= *area;
            status.changenew |= *area;
        }
        if (!status.command)
            editor_refresh();
        return 0;
    case WM_OFFERWEBADDRESS:
        if (webaddress.empty())
            return 0;
        if (yesno(getapplnmessage(static_cast<unsigned long>(wParam))))
            QDesktopServices::openUrl(QUrl(QString::fromStdString(webaddress)));
        return 1;
    case WM_TIMER:
        if (wParam == 11) {
            agehighlightobjects();
            return 0;
        }
        break;
    case WM_GETEDITORCOLOUR:
        return LRESULT(getcolour(int(wParam)));
    case WM_LIBRARYCHANGED:
        if (HWND(lParam) != hwnd)
            refreshlibrary(int(wParam));
        break;
    default:
        break;
    }
    return APPLNVIEWWIN::msghlr(window, message, wParam, lParam);
}
