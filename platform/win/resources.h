#pragma once

// Resources embedded in a module. Each deliverable's resources are compiled at build time
// (platform/win/rc, cmake/Resources.cmake) into a source that registers them under the module that
// links it for as long as it is loaded; they are found by module, type and id or name. A type or
// name is either a text (compared without regard to ASCII case) or a 16-bit id made with
// MAKEINTRESOURCEA.
// Callers: string tables (core), the module base (framework).

#include <cstddef>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

inline const char* MAKEINTRESOURCEA(WORD id)
{
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(id));
}

inline bool IS_INTRESOURCE(const void* name)
{
    return reinterpret_cast<uintptr_t>(name) >> 16 == 0;
}

inline const char* const RT_RCDATA = MAKEINTRESOURCEA(10);
inline const char* const RT_VERSION = MAKEINTRESOURCEA(16);

// One resource: its type, its name and its bytes (not owned; static data of the module).
struct RESOURCEENTRY {
    const char* type;
    const char* name;
    const void* data;
    DWORD size;
};

using HRSRC = const RESOURCEENTRY*;

// The resource of the module (the program for null); null when absent, with GetLastError giving
// ERROR_RESOURCE_DATA_NOT_FOUND (the module has no resources), ERROR_RESOURCE_TYPE_NOT_FOUND or
// ERROR_RESOURCE_NAME_NOT_FOUND.
HRSRC FindResourceA(HMODULE module, const char* name, const char* type);
// The resource's data handle; null for a null resource.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
// The first byte of the data; null for null.
void* LockResource(HGLOBAL data);
// The size of the data in bytes; 0 for a null resource.
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Nothing to release: embedded data lives as long as its module. Always FALSE.
BOOL FreeResource(HGLOBAL data);

// Adds or removes a table of resources of a module; the table stays the caller's.
void registerresources(HMODULE module, const RESOURCEENTRY* entries, size_t count);
void unregisterresources(HMODULE module, const RESOURCEENTRY* entries);

// Registers a table under the module that holds this object, from its construction to its
// destruction: a compiled resource source defines one at namespace scope, so its resources come
// and go with the module.
class RESOURCEMODULE {
public:
    RESOURCEMODULE(const RESOURCEENTRY* entries, size_t count);
    ~RESOURCEMODULE();
    RESOURCEMODULE(const RESOURCEMODULE&) = delete;
    RESOURCEMODULE& operator=(const RESOURCEMODULE&) = delete;

private:
    HMODULE module;
    const RESOURCEENTRY* entries;
};
