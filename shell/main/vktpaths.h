#pragma once

// The folders and limits the main program publishes to the modules it loads: exported from the
// program (exports.list), filled at start-up and valid until the program ends. Windows path texts.
// Callers: the schematic module, the main program's settings.

#include "core/files/paths.h"
#include "shell/project/projectentries.h" // project_filename, firmware_filename

extern "C" {
extern char path_root[PATHBUFFER]; // the installation
extern char path_bin[PATHBUFFER]; // the program's folder
extern char path_help[PATHBUFFER];
extern char path_localdata[PATHBUFFER]; // the user's data of the program
extern char partition_path[PATHBUFFER]; // simulation results
extern int partition_kb_limit; // the most a results file may hold, in kilobytes
extern char viewdata_path[PATHBUFFER]; // datasheets
extern char download_path[PATHBUFFER];
extern char mcad_user_path[PATHBUFFER];
extern char mcad_cache[PATHBUFFER]; // tessellations of mechanical models
extern char mcad_temp_path[PATHBUFFER]; // this run's model cache, removed at its end
extern char cadcam_path[PATHBUFFER];
extern char snippets_path[PATHBUFFER];
extern int OEMVER;
}
