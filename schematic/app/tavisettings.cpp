// The module's preferences, kept in the registry under the module's "Settings" with the editor's
// own variables (snap, grid, cursor, the master sheet shown behind the others).

#include "schematic/app/taviapp.h"

void TAVIAPP::loadconfig(int flag)
{
    if (!preferencesregistered) {
        register_applnvar("Auto Resync", APPLNVAR_BOOL, &autoresync, 0);
        register_applnvar("Save Context", APPLNVAR_BOOL, &savecontext, 0);
        register_applnvar("Tooltip Delay", APPLNVAR_WORD, &tooltipdelay, 0);
        register_applnvar("Use Default Propdefs", APPLNVAR_BOOL, &usedefaultpropdefs, 0);
        register_applnvar("Plotter Penwidth", APPLNVAR_INT, &plotterpenwidth, 0);
        register_applnvar("Plotter Circle Step", APPLNVAR_DWORD, &plottercirclestep, 0);
        register_applnvar("Sheet Sizes", APPLNVAR_BINARY, sheetsizes, sizeof sheetsizes);
        preferencesregistered = 1;
    }
    if (!flag)
        load_applnvars(TAVISETTINGS);
    resetdocument();
}

void TAVIAPP::saveconfig()
{
    save_applnvars(TAVISETTINGS);
}
