#pragma once

// The main program's command line, read without side effects: items separated by blanks, each a
// switch ("-X" or "/X", letters in either case), a module launch "{NAME value}" or the one file.
//   -A          verify the autosave file named (hidden)
//   -H          hidden: no frame, splash, autosave or alerts
//   -P[:FILE]   the IDE launch file (QUARNEL.INI without a name)
//   -Q          no splash screen
//   -R          every module loads its configuration afresh
//   -T[:FILE]   collect the strings to translate into FILE (a default without a name)
//   -activex, -Embedding   served for another program
// A FILE after ':' is a double-quoted text ("" for ") or the text up to the next blank. The file
// gets the extension ".vktprj" when it has none. Everything before the first error is kept.
// Callers: the program's entry (to answer a wrong switch as a command-line program does) and its
// process.

#include <string>
#include <utility>
#include <vector>

struct LAUNCHLINE {
    std::string file; // empty: none
    std::string inifile; // empty: none
    std::vector<std::pair<std::string, std::string>> modules; // NAME and value, in order
    bool verify = false;
    bool hidden = false;
    bool embedding = false;
    bool nosplash = false;
    bool reloadconfig = false;
    bool translate = false;
    std::string translationfile; // empty with translate: the default file

    // At an error: the offsets into the line of the item that failed and of the text the error
    // reports (npos when all was read), and whether the item was a switch.
    size_t baditem = std::string::npos;
    size_t bad = std::string::npos;
    bool badswitch = false;
    bool parsed() const { return bad == std::string::npos; }
};

LAUNCHLINE readlaunchline(const char* line);

// What `vkt --help` prints, ending with a line feed.
extern const char* const LAUNCHUSAGE;
