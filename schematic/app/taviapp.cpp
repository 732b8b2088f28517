#include "schematic/app/taviapp.h"

#include <algorithm>

#include "core/text/strutil.h"
#include "framework/appln/applnprocess.h"
#include "platform/casq/styles.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/lunder/mlib.h"
#include "schematic/design/design.h"
#include "schematic/design/libraries.h"

TAVIAPP::TAVIAPP(APPLNPROCESS* process)
    : APPLNEDITOR(process, getdesign(), editstatus, commands)
{
    setapplnname("TAVI", "Schematic Capture");
    std::copy(std::begin(TAVISNAPS), std::end(TAVISNAPS), gridimperial);
    // The grid is drawn and the cursor snaps to a tenth of an inch until the user chooses.
    editstatus.gridkind = 32;
    editstatus.snapindex = 2;
    editstatus.extent = getdesign().getsheetbox();
    register_applnvar("Snap", APPLNVAR_DWORD, &editstatus.snapindex, 0);
    register_applnvar("GridMode", APPLNVAR_DWORD, &editstatus.gridkind, 0);
    register_applnvar("XCursor", APPLNVAR_DWORD, &editstatus.crosshair, 0);
    register_applnvar("RDS", APPLNVAR_BOOL, &rds, 0);
    if (process)
        debughost = process->getmoduleinterface(SIMULATIONHOSTMODULE, IID_SIMULATIONHOST);
}

TAVIAPP::~TAVIAPP()
{
    destroywindow();
}

IMODULE* TAVIAPP::queryinterface(unsigned id)
{
    switch (id) {
    case 0:
        return static_cast<IWINDOWMODULE*>(this);
    case IID_DOCSERVER:
        return static_cast<IDOCSERVER*>(this);
    case IID_NETSERVER:
        return static_cast<INETSERVER*>(this);
    case IID_DEBUGHOST:
        return static_cast<IDEBUGHOST*>(this);
    case IID_DEBUGTARGET:
        return static_cast<IDEBUGTARGET*>(this);
    case IID_ADISERVER:
        return static_cast<IADISERVER*>(this);
    case IID_LEGACYINFO:
        return static_cast<ILEGACYINFO*>(this);
    case IID_CLIPSERVER:
        return static_cast<ICLIPSERVER*>(this);
    case IID_AUTODRAW:
        return autodraw;
    case IID_ITEMRENDERER:
        return static_cast<IITEMRENDERER*>(this);
    case IID_REPORTGENERATOR:
        return static_cast<IREPORTGENERATOR*>(this);
    default:
        return APPLNEDITOR::queryinterface(id);
    }
}

void TAVIAPP::resetdocument()
{
    getdesign().reset();
    editstatus.extent = getdesign().getsheetbox();
    cleartags();
    if (maindevice)
        setscale(VOIDBOX, 1);
}

APPLNDOCUMENT* TAVIAPP::getdocument()
{
    return &getdesign();
}

void TAVIAPP::newdocument(const char* entry)
{
    resetdocument();
    getdesign().setdocname(entry);
    getdesign().setdirty(0);
}

void TAVIAPP::closedocument()
{
    getdesign().setproject(nullptr);
    resetdocument();
}

void TAVIAPP::openlibraries()
{
    char cache[517];
    strnzcpy(cache, getprocess() ? getprocess()->getdatapath("Library Indexing") : "", sizeof cache);
    devicelibraries().openidx(library_paths, cache, "*.LIB", "DEVICE LIBRARY");
    symbollibraries().openidx(library_paths, cache, "*.LIB", "SYMBOL LIBRARY");
}

void TAVIAPP::closelibraries()
{
    devicelibraries().close();
    symbollibraries().close();
}

void TAVIAPP::refreshlibrary(int kind)
{
    if (kind == 0)
        devicelibraries().refresh();
    else if (kind == 1)
        symbollibraries().refresh();
}

COLORREF TAVIAPP::getcolour(int index)
{
    switch (index) {
    case APPLNCOLOUR_BACKGROUND:
        return RGB(255, 255, 245);
    case APPLNCOLOUR_HIGHLIGHT:
        return RGB(255, 0, 0);
    case APPLNCOLOUR_CURSOR:
        return RGB(0, 0, 255);
    case APPLNCOLOUR_VIEWBOX:
        return RGB(200, 60, 60);
    case APPLNCOLOUR_BORDER:
        return RGB(0, 0, 128);
    case APPLNCOLOUR_HANDLE:
        return RGB(90, 90, 90);
    case APPLNCOLOUR_ACTIVEHANDLE:
        return RGB(220, 120, 0);
    default:
        return 0;
    }
}
