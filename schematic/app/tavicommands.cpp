// The schematic editor's table of edit commands: the row of each command id it runs, with the
// handler and the document states that refuse it.

#include "schematic/app/tavicommands.h"

#include "schematic/app/taviapp.h"

const EDITCOMMAND TAVIAPP::commands[] = {
    { CMD_OUTPUTAREA, &APPLNEDITOR::op_setarea, 0 },
    { EDITCMD_REDRAW, &APPLNEDITOR::view_redraw, 0 },
    { EDITCMD_GRID, &APPLNEDITOR::view_grid, 0 },
    { CMD_FALSEORIGIN, &APPLNEDITOR::view_origin, 0 },
    { EDITCMD_SNAP, edithandler(&TAVIAPP::view_setsnap), 0 },
    { EDITCMD_ZOOMCENTRE, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMIN, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMOUT, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMALL, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMAREA, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_UNDO, &APPLNEDITOR::edit_undo, EDITCMDF_WRITES | EDITCMDF_NOTSIMULATING },
    { CMD_REDO, &APPLNEDITOR::edit_undo, EDITCMDF_WRITES | EDITCMDF_NOTSIMULATING },
    { 0, nullptr, 0 },
};

int TAVIAPP::view_setsnap()
{
    editstatus.snapindex = editstatus.command >> 12;
    return view_snap();
}
