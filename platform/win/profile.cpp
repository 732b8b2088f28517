#include "platform/win/profile.h"

#include <filesystem>
#include <string>

#include "platform/win/inifile.h"
#include "platform/win/pathboundary.h"
#include "platform/win/regstore.h"

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size)
{
    const std::filesystem::path file
        = std::filesystem::path(regstore::hivefile(regstore::Hive::user)).parent_path() / "profile.ini";
    return GetPrivateProfileStringA(section, key, def, buffer, size, towindowspath(file.string()).c_str());
}
