#pragma once

// The registry calls over the file-backed store (regstore.h): two hives of typed values, the
// user's (read and written) and the machine's (read only). Key paths are '\'-separated levels
// below a root or an open key; names are compared without regard to ASCII case and keep the case
// they were created with. Every call returns ERROR_SUCCESS or an error code of winerror.h.
// Callers: the registry and window positions (core).

#include <cstddef>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

using REGSAM = DWORD;

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002));

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Longest names the store accepts: every key name fits the 100-byte buffer in which the registry
// class enumerates subkeys, every value name the 99 bytes behind its type letter. No setting lies
// deeper than REG_MAXDEPTH levels.
constexpr size_t REG_MAXKEYNAME = 99;
constexpr size_t REG_MAXVALUENAME = 98;
constexpr size_t REG_MAXDEPTH = 64;

struct SECURITY_ATTRIBUTES;

// Opens an existing key; ERROR_FILE_NOT_FOUND when it is missing, ERROR_ACCESS_DENIED when write
// rights are asked of the machine hive. A null or empty subkey opens key itself again.
LONG RegOpenKeyExA(HKEY key, const char* subkey, DWORD options, REGSAM rights, HKEY* result);
// As RegOpenKeyExA with every right the hive allows.
LONG RegOpenKeyA(HKEY key, const char* subkey, HKEY* result);
// Opens a key, creating it and its missing parents in the user hive; disposition (may be null)
// tells which. ERROR_INVALID_PARAMETER when a new level's name is longer than REG_MAXKEYNAME or
// the key would lie deeper than REG_MAXDEPTH levels.
LONG RegCreateKeyExA(HKEY key, const char* subkey, DWORD reserved, char* keyclass, DWORD options,
    REGSAM rights, const SECURITY_ATTRIBUTES* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
// Type and data of a value (null or "" names the default value). With a null data the size alone
// is reported; a buffer smaller than the value gives ERROR_MORE_DATA and the size needed in *size.
LONG RegQueryValueExA(HKEY key, const char* value, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
// ERROR_INVALID_PARAMETER when the value name is longer than REG_MAXVALUENAME.
LONG RegSetValueExA(HKEY key, const char* value, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueA(HKEY key, const char* value);
// Deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some); an empty subkey names key.
LONG RegDeleteKeyA(HKEY key, const char* subkey);
// The index-th subkey name in a stable order; ERROR_NO_MORE_ITEMS past the last, ERROR_MORE_DATA
// when the name and its terminator exceed size.
LONG RegEnumKeyA(HKEY key, DWORD index, char* name, DWORD size);
// The index-th value: *namesize holds the buffer size on entry and the name's length on return.
// data and datasize may be null.
LONG RegEnumValueA(HKEY key, DWORD index, char* name, DWORD* namesize, DWORD* reserved, DWORD* type,
    BYTE* data, DWORD* datasize);
