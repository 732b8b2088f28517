#pragma once

// The edit status an editor's deriving module owns and hands to the editor base (which zeroes it
// at construction), and one row of the deriving editor's table of edit commands.

#include "framework/editor/selection.h"

class APPLNEDITOR;

struct APPLNEDITSTATUS {
    int modepending = 0; // the next preamble establishes the edit mode
    int modified = 0; // the running command changed the document
    int preview = 0; // the overview shows a preview of what the mode places
    int clickthrough = 0; // a click that activates the frame reaches the main view too
    BOX outputarea = VOIDBOX; // void: the whole design
    BOX extent = VOIDBOX; // of the drawing
    POINT viewcentre;
    POINT furtherpoint;
    int minscale = 10;
    int maxscale = 10000;
    int fitstate = 10;
    int scale = 10;
    int pickdistance = 0;
    int flip = 0;
    unsigned gridkind = 0;
    int falseorigin = 0;
    unsigned crosshair = 0;
    int metric = 0;
    int polar = 0;
    POINT outputorigin;
    POINT gridorigin;
    int majorgrid = 0;
    int minorgrid = 0;
    int snapindex = 0;
    int snapvalue = 0;
    int hitdistance = 0;
    SELECTION tags; // the tagged objects
    APPLNOBJECT* ctxobject = nullptr; // the current context object (an object or the tag set)
    APPLNOBJECT* nextctxobject = nullptr; // made current by the next refresh
    GDPA<DRAGHANDLE> handles; // of the current context object; owned
    APPLNOBJECT* highlight = nullptr; // the object under the pointer
    APPLNOBJECT* drawnhighlight = nullptr; // the one whose highlight shows
    int leftclicks = 0;
    int rightclicks = 0;
    int overmainview = 0;
    int overoverview = 0;
    POINT pointer; // database units
    POINT cursor;
    unsigned short command = 0x170; // the command running; 0 between commands
    int nesting = 0; // edit-command handlers running
    int modal = 0; // drag and menu loops running on the editor's views
    BOX changeold = VOIDBOX; // what the running command changed: where it was
    BOX changenew = VOIDBOX; // and where it is now
};

// A handler answers non-zero on success.
using EDITHANDLER = int (APPLNEDITOR::*)();

// Flags of a row: bits 0-3 the undo mode the frame is opened with; EDITCMDF_UNDO runs the command
// in an undo frame and refuses it while the document is locked; EDITCMDF_WRITES refuses it while
// the project is read-only. The other bits are the deriving editor's (iscommandvalid reads them).
constexpr unsigned long EDITCMDF_UNDOMODE = 0x0F;
constexpr unsigned long EDITCMDF_UNDO = 0x10;
constexpr unsigned long EDITCMDF_WRITES = 0x100;

struct EDITCOMMAND {
    unsigned short id; // the low 12 bits of a command id; 0 ends the table
    EDITHANDLER handler; // null: the command is known and does nothing
    unsigned long flags;
};

// A deriving editor's handler as a row's.
template <typename EDITOR> constexpr EDITHANDLER edithandler(int (EDITOR::*handler)())
{
    return static_cast<EDITHANDLER>(handler);
}

// Why a command was refused.
enum CMDERRORS { CMDERR_READONLY = 1, CMDERR_LOCKED = 2, CMDERR_MODE = 3 };
