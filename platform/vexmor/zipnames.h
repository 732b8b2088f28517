#pragma once

// Names of files inside an archive, checked when an archive is read and when one is written, so
// that no entry names a place outside the archive: not empty, not absolute ('/', '\' or a drive
// first), no ".." level between either separator. Internal to the archives.

#include <string>

// "" for a name that may stand in an archive; otherwise why it may not.
std::string zipnamefault(const char* name);
