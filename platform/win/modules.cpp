#include "platform/win/modules.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>

#include "platform/win/pathboundary.h"
#include "platform/win/system.h"
#include "platform/win/textcase.h"
#include "platform/win/winerror.h"

namespace {

struct Load {
    void* handle;
    int count;
};

std::mutex loadsMutex;
std::map<HMODULE, Load> loads;
thread_local std::string loadError;

int collect(dl_phdr_info* info, size_t, void* data)
{
    auto* modules = static_cast<std::vector<LoadedModule>*>(data);
    uintptr_t low = UINTPTR_MAX;
    uintptr_t high = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD)
            continue;
        low = std::min<uintptr_t>(low, segment.p_vaddr);
        high = std::max<uintptr_t>(high, segment.p_vaddr + segment.p_memsz);
    }
    if (low > high)
        return 0;
    auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    uintptr_t base = info->dlpi_addr + (low & ~(page - 1));
    std::string path = info->dlpi_name ? info->dlpi_name : "";
    if (modules->empty() && path.empty())
        path = programfile();
    modules->push_back({ reinterpret_cast<HMODULE>(base), info->dlpi_addr + high, path });
    return 0;
}

std::string lastlevel(const std::string& path)
{
    size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// "TAVI.DLL", "tavi.so", "libtavi.so.1" and "TAVI" all give "tavi" (with the "lib" kept apart).
std::string stem(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    size_t so = name.find(".so");
    if (so != std::string::npos && (so + 3 == name.size() || name[so + 3] == '.'))
        return name.substr(0, so);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0)
        return name.substr(0, name.size() - 4);
    return name;
}

// The file that LoadLibraryA looks for: ".DLL" becomes ".so", a bare name gets ".so", and a name
// without folder part lies in the program's folder.
std::string modulefile(const char* name)
{
    std::string text(name);
    std::string level = lastlevel(text);
    size_t dot = level.rfind('.');
    if (dot == std::string::npos)
        text += ".so";
    else if (win::equalnocase(level.c_str() + dot, ".dll"))
        text.replace(text.size() - level.size() + dot, std::string::npos, ".so");
    if (text.find_first_of("\\/:") == std::string::npos) {
        std::string program = programfile();
        text = towindowspath(program.substr(0, program.rfind('/') + 1)) + text;
    }
    return findexistingpath(text.c_str());
}

const LoadedModule* findmodule(const std::vector<LoadedModule>& modules, HMODULE module)
{
    for (const auto& m : modules)
        if (m.module == module)
            return &m;
    return nullptr;
}

} // namespace

std::vector<LoadedModule> loadedmodules()
{
    std::vector<LoadedModule> modules;
    dl_iterate_phdr(collect, &modules);
    return modules;
}

HMODULE modulefromaddress(const void* address)
{
    auto at = reinterpret_cast<uintptr_t>(address);
    for (const auto& m : loadedmodules())
        if (at >= reinterpret_cast<uintptr_t>(m.module) && at < m.end)
            return m.module;
    return nullptr;
}

bool moduleexists(const char* name)
{
    return name && *name && !modulefile(name).empty();
}

HMODULE LoadLibraryA(const char* name)
{
    loadError.clear();
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string file = modulefile(name);
    if (file.empty()) {
        loadError = std::string(name) + ": no such module";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        loadError = why ? why : file + ": cannot be loaded";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    link_map* map = nullptr;
    HMODULE module
        = dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map ? modulefromaddress(map->l_ld) : nullptr;
    if (!module) {
        dlclose(handle);
        loadError = file + ": not mapped";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(loadsMutex);
    auto& load = loads[module];
    load.handle = handle;
    ++load.count;
    return module;
}

BOOL FreeLibrary(HMODULE module)
{
    std::lock_guard<std::mutex> guard(loadsMutex);
    auto it = loads.find(module);
    if (it == loads.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    void* handle = it->second.handle;
    if (--it->second.count == 0)
        loads.erase(it);
    dlclose(handle);
    return TRUE;
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    if (!name || reinterpret_cast<uintptr_t>(name) >> 16 == 0) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    auto modules = loadedmodules();
    if (!module && !modules.empty())
        module = modules.front().module;
    const LoadedModule* found = findmodule(modules, module);
    if (!found) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    bool program = found == &modules.front();
    void* handle = dlopen(program ? nullptr : found->path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    void* symbol = handle ? dlsym(handle, name) : nullptr;
    if (handle)
        dlclose(handle);
    if (!symbol || modulefromaddress(symbol) != module) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

HMODULE GetModuleHandleA(const char* name)
{
    auto modules = loadedmodules();
    if (!name)
        return modules.empty() ? nullptr : modules.front().module;
    std::string wanted = stem(lastlevel(name));
    std::string posix = toposixpath(name);
    for (const auto& m : modules) {
        std::string have = stem(lastlevel(m.path));
        if (have == wanted || have == "lib" + wanted || (!posix.empty() && posix == m.path))
            return m.module;
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size)
{
    auto modules = loadedmodules();
    const LoadedModule* found = module ? findmodule(modules, module)
        : modules.empty()              ? nullptr
                                       : &modules.front();
    if (!found || !buffer || !size) {
        SetLastError(found ? ERROR_INSUFFICIENT_BUFFER : ERROR_MOD_NOT_FOUND);
        return 0;
    }
    char* full = realpath(found->path.c_str(), nullptr);
    std::string text = towindowspath(full ? full : found->path);
    free(full);
    if (text.size() >= size) {
        memcpy(buffer, text.data(), size - 1);
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

const char* moduleloaderror()
{
    return loadError.c_str();
}
