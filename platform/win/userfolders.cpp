#include "platform/win/userfolders.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "platform/win/files.h"
#include "platform/win/pathboundary.h"
#include "platform/win/privatefolder.h"
#include "platform/win/winerror.h"

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value == '/' ? value : std::string();
}

std::string home()
{
    return environment("HOME");
}

std::string temporaryfolder()
{
    // A folder that outlives a crash of the machine: autosaves are recovered from it at the next
    // start, so the runtime folder, emptied at logout, serves only without a home.
    std::string cache = environment("XDG_CACHE_HOME");
    if (cache.empty() && !home().empty())
        cache = home() + "/.cache";
    if (!cache.empty() && makeprivatefolder(cache + "/vkt/tmp"))
        return cache + "/vkt/tmp";
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && makeprivatefolder(runtime + "/vkt"))
        return runtime + "/vkt";
    return {};
}

DWORD copyout(const std::string& text, DWORD size, char* buffer)
{
    if (!buffer || text.size() + 1 > size)
        return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

} // namespace

DWORD GetTempPathA(DWORD size, char* buffer)
{
    const std::string folder = temporaryfolder();
    if (folder.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return copyout(towindowspath(folder) + "\\", size, buffer);
}

HRESULT SHGetFolderPathA(HWND, int folder, HANDLE, DWORD, char* path)
{
    if (!path || (folder != CSIDL_PERSONAL && folder != CSIDL_LOCAL_APPDATA))
        return E_INVALIDARG;
    const char* variable = folder == CSIDL_PERSONAL ? "XDG_DOCUMENTS_DIR" : "XDG_DATA_HOME";
    std::string found = environment(variable);
    if (found.empty() && !home().empty())
        found = home() + (folder == CSIDL_PERSONAL ? "/Documents" : "/.local/share");
    if (found.empty())
        return E_FAIL;
    const std::string windows = towindowspath(found);
    if (windows.size() >= MAX_PATH)
        return E_FAIL;
    std::strcpy(path, windows.c_str());
    return S_OK;
}

std::string usercachefolder()
{
    std::string cache = environment("XDG_CACHE_HOME");
    if (cache.empty() && !home().empty())
        cache = home() + "/.cache";
    const std::string windows = towindowspath(cache);
    return windows.size() < MAX_PATH ? windows : std::string();
}

void SHAddToRecentDocs(UINT, const void*)
{
}
