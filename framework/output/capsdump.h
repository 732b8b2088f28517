#pragma once

// The printer capabilities report: a plain-text account of the current printer (its names, page,
// the answers of its device-capabilities query and its settings record) for diagnosing a printer
// that prints wrongly.
// Callers: the editors' printer report command (the schematic module).

class VFILE;
struct DEVMODEA;

// Writes the report of the current printer (made current first) into the file, ending with a NUL
// byte, and its device name into devicename (PATHBUFFER bytes) when given. 1, or 0 when there is
// no printer or no context on it.
int op_dumpcaps(VFILE& file, char* devicename);
// The settings record part of the report.
void dump_devmode(VFILE& file, const DEVMODEA* settings);
// One label: text padded with full stops to textwidth, "(name)" padded to namewidth, then ": ".
void dump_heading(VFILE& file, const char* text, int textwidth, const char* name, int namewidth);
