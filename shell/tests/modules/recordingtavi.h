#pragma once

// The tests' stand-in for the schematic module, loaded by the name TAVI from the tests' own
// program folder: its document server keeps the design as one line of text in the entry it is
// given, records every call the project makes, and fails a load or save when told to. Its clip
// interface writes and reads the selection as one line of text too. The tests
// read and set these members through the server the process hands out (interface 3).

#include <string>
#include <vector>

#include "framework/documents/applndocument.h"
#include "shell/project/idocserver.h"

class RECORDINGDOCUMENT : public APPLNDOCUMENT {
public:
    std::string text;
};

class RECORDINGSERVER : public IDOCSERVER {
public:
    RECORDINGDOCUMENT document;
    std::vector<std::string> calls; // "load ROOT.DSN", "modified", ...
    int failload = 0; // and a design of the text UNLOADABLE always fails to load: one that saves
                      // but does not load back, in any run of the program
    int failsave = 0;
    int failimport = 0;
    // Project clips (interface 31): the selection a clip takes (none when empty), which its
    // section entry holds; the section last read; and a placement that fails when told to.
    std::string clipselection;
    std::string clipread;
    int failplace = 0;

    virtual ~RECORDINGSERVER() = default;
};
