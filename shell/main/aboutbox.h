#pragma once

// The about box (command 545): the release line from the program's version resource, the maker's
// web address, the pins of the design's netlist, the free memory, the operating system and the
// versions of the libraries the windows are made of.
// Callers: the main program's commands.

#include <string>

#include "core/windows/process.h"
#include "platform/drelm/formcallback.h"

struct ABOUTTEXTS {
    std::string release;
    std::string website;
    std::string pins;
    std::string memory; // the number alone; the form adds " bytes"
    std::string system;
    std::string controls;
};

// The texts for the version and the free memory in bytes.
ABOUTTEXTS abouttexts(const VERSIONINFO& version, unsigned long long freememory);
// "> 2G" when the amount does not fit in 31 bits, else the number with its digits grouped.
std::string memorytext(unsigned long long bytes);
// Runs the form "HELP_ABOUT" with the application title.
void showabout();
// The form's callback: the web address and the memory in the highlight colour.
DLGCODES help_about(FORM& form, unsigned msg, unsigned wparam, long lparam);
