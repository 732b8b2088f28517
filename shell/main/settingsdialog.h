#pragma once

// The System Settings dialog (command 528): the form "TABBED_SETTINGS" with its four pages, which
// edits the program's folders and limits in place (the exported folder globals and the library
// folder lists) and the values handed in. On OK the folders, the locale, the limits and the toolbar
// size take effect and reach the registry at once; the folder-open mode, the document path and
// the project's limits follow at the end of the run. Cancel changes nothing.
// Callers: the main program's commands; the forms' callbacks through the program's callback table.

#include "core/files/paths.h"
#include "platform/drelm/formcallback.h"

class IREPORT;

// The values of the dialog that are not folder globals.
struct SYSTEMSETTINGS {
    int folderopenmode = 0; // 0 My Documents, 1 the last folder, 2 the document path
    char documentpath[PATHBUFFER] = "";
    int undolevels = 20;
    int autosaveinterval = 10; // minutes
    int backuplevels = 10;
    char backupfolder[256] = "";
};

// The choice of the toolbar size: 0 "Auto", 1 to 3 for 16, 24 and 32 pixels; Auto for any other.
int toolbarsizechoice(int pixels);
// Runs the dialog over the values and the folders, with the report module's three settings when it
// is installed: 1 when the user confirmed it (the registry then written), 0 when cancelled.
int editsystemsettings(SYSTEMSETTINGS& settings, IREPORT* reporter);

// The pages' callbacks: the document path only for the third open mode; the CADCAM path only
// when the layout's output does not go to the project's folder, and empty when it does.
DLGCODES core_settings(FORM& form, unsigned msg, unsigned wparam, long lparam);
DLGCODES brix_settings(FORM& form, unsigned msg, unsigned wparam, long lparam);
