#pragma once

// The folder lists along which libraries, templates and simulation models are found (folders
// separated by ';'), which the main program fills at start-up and its modules read, and the
// property-definition file that every library shares.
// Callers: the main program's paths and its start-up check of the property definitions.

constexpr int LIBRARYPATHSIZE = 4096; // each list holds at most 4095 characters

extern char library_paths[LIBRARYPATHSIZE];
extern char template_paths[LIBRARYPATHSIZE];
extern char module_paths[LIBRARYPATHSIZE];
// The language of the library texts; 1 unless the settings name another.
extern int library_locale;

// The property-definition file "PROPDEFS.INI" found along the library folders, as a Windows path
// in path (517 bytes): 1, or 0 when no folder holds it.
int findpropdefs(char* path);
