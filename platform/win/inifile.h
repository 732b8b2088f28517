#pragma once

// Reading a private profile (an ini file of "[section]" and "key=value" lines), as the main
// program reads the launch file a programmer's IDE hands it. Caller: the command line.

#include <string>

#include "platform/win/scalars.h"

// The value of key in section of file (a Windows path, found in any case; names compared ignoring
// ASCII case; blanks around the value and one pair of enclosing quotes removed), copied as at most
// size - 1 characters; def (null: "") when the file, the section or the key is missing or the file
// is refused by the bounded reader. The number of characters copied.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size, LPCSTR file);
// The value of key in section of an ini text, found and trimmed as above; false when absent.
bool inilookup(const std::string& text, const char* section, const char* key, std::string& value);
