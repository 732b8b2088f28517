#pragma once

// The user's profile: a text file of "[section]" lines and "key=value" lines beside the user's
// registry hive ("profile.ini" in the hive's folder), read as the system reads its profile.
// Callers: the desktop helpers (core).

#include "platform/win/scalars.h"

// The value of key in section (both compared ignoring ASCII case), blanks around it and one pair
// of enclosing quotes removed, copied as at most size - 1 characters; def (null: "") when the
// profile, the section or the key is missing. Answers the number of characters copied.
DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size);
