#include "platform/win/toolhelp.h"

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/files.h"
#include "platform/win/handles.h"
#include "platform/win/modules.h"
#include "platform/win/pathboundary.h"
#include "platform/win/winerror.h"

namespace {

struct ModuleSnapshot : KernelObject {
    std::vector<LoadedModule> modules = loadedmodules();
    size_t next = 0;
};

void copycut(char* to, size_t size, const std::string& text)
{
    size_t n = std::min(text.size(), size - 1);
    memcpy(to, text.data(), n);
    to[n] = 0;
}

BOOL fill(HANDLE snapshot, MODULEENTRY32* entry, bool first)
{
    auto* modules = dynamic_cast<ModuleSnapshot*>(KernelObject::fromhandle(snapshot));
    if (!modules || !entry || entry->dwSize < sizeof(MODULEENTRY32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (first)
        modules->next = 0;
    if (modules->next >= modules->modules.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    const LoadedModule& m = modules->modules[modules->next++];
    auto base = reinterpret_cast<uintptr_t>(m.module);
    entry->th32ModuleID = 1;
    entry->th32ProcessID = static_cast<DWORD>(getpid());
    entry->GlblcntUsage = entry->ProccntUsage = 1;
    entry->modBaseAddr = reinterpret_cast<BYTE*>(m.module);
    entry->modBaseSize = static_cast<DWORD>(m.end - base);
    entry->hModule = m.module;
    copycut(entry->szModule, sizeof entry->szModule, m.path.substr(m.path.rfind('/') + 1));
    copycut(entry->szExePath, sizeof entry->szExePath, towindowspath(m.path));
    return TRUE;
}

} // namespace

HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD process)
{
    if (flags != TH32CS_SNAPMODULE || (process && process != static_cast<DWORD>(getpid()))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return (new ModuleSnapshot)->handle();
}

BOOL Module32First(HANDLE snapshot, MODULEENTRY32* entry)
{
    return fill(snapshot, entry, true);
}

BOOL Module32Next(HANDLE snapshot, MODULEENTRY32* entry)
{
    return fill(snapshot, entry, false);
}
