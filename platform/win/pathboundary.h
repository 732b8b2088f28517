#pragma once

// The one place where Windows path texts meet the POSIX file system. Stored designs, libraries
// and decks carry Windows-style, often upper-cased names ("MODELS\X.LIB"), while the files lie on
// a case-sensitive disk ("models/x.lib"): the path functions of the core keep the Windows
// semantics, and every call that touches the disk converts here.
// Callers: paths and files (core), the process object (framework), crash reports, model libraries and
// partitions (simulator).

#include <string>

// The POSIX form of a Windows path: '\' becomes '/', a leading drive "X:" is dropped ("C:\a" gives
// "/a", "C:a" gives "a", a bare "C:" gives "."). The empty text stays empty.
std::string toposixpath(const char* path);

// The Windows form of a POSIX path: '/' becomes '\'.
std::string towindowspath(const std::string& path);

// The POSIX path of the existing file or folder that a Windows path names: the exact name when it
// exists, else each level matched without regard to ASCII case (the exact name first, then the
// matches in byte order, going on with the next when the levels below are missing in one). Empty
// when nothing matches.
std::string findexistingpath(const char* path);

// The POSIX path to create or overwrite: the existing levels matched as by findexistingpath, the
// first missing level and those after it kept as given, so that writing "MODELS\X.LIB" replaces
// "models/x.lib" rather than adding a second file beside it.
std::string pathforwriting(const char* path);
