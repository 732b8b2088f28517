#pragma once

// Modules over the dynamic loader. A module's handle is the address at which its file is mapped
// (the program's own for a null name), as on the system this layer stands in for. A module named
// "NAME.DLL" is the shared object NAME.so in the program's folder, where the build puts the
// program and every module it loads; a name without extension gets ".so", a name with a folder
// part is taken as a path. Files are found without regard to case (pathboundary.h).
// Callers: module loading and the module base (framework), process support and string tables
// (core), the main program's command states, the simulation host.

#include <string>
#include <vector>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

using FARPROC = void (*)();

// Loads the module (again, counting) and returns its handle; null when it cannot be found or
// loaded (GetLastError gives ERROR_MOD_NOT_FOUND; moduleloaderror() the loader's own words).
HMODULE LoadLibraryA(const char* name);
// The exported function or data of a module (cast by the caller); null when the module does not
// itself export name (ERROR_PROC_NOT_FOUND).
FARPROC GetProcAddress(HMODULE module, const char* name);
// Releases one load of LoadLibraryA; the module is unloaded with the last. FALSE for a handle that
// LoadLibraryA did not give.
BOOL FreeLibrary(HMODULE module);
// The handle of a module already in the process, found by name ("TAVI.DLL", "TAVI", "libcore.so"
// or the file's path; case is ignored); the program's for null; null when none is loaded.
HMODULE GetModuleHandleA(const char* name);
// The module's file as a Windows path text, cut to size - 1 characters and terminated; returns
// the length written (size when cut, with ERROR_INSUFFICIENT_BUFFER), 0 for an unknown module.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);

// Whether LoadLibraryA would find the module's file, without loading it.
bool moduleexists(const char* name);

// Why the last LoadLibraryA of the calling thread failed, as the loader said it; "" when it did not.
const char* moduleloaderror();

// One file mapped into the process: its handle, the end of its mapping and its POSIX path.
struct LoadedModule {
    HMODULE module;
    uintptr_t end;
    std::string path;
};

// The modules of the process in the loader's order, the program first.
std::vector<LoadedModule> loadedmodules();
// The module whose mapping holds address; null when none does.
HMODULE modulefromaddress(const void* address);
