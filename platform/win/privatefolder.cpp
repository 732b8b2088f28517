#include "platform/win/privatefolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

bool makeprivatefolder(const std::string& folder)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ignored);
    ::mkdir(folder.c_str(), 0700);
    struct stat status;
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::getuid())
        return false;
    return (status.st_mode & 077) == 0 || ::chmod(folder.c_str(), 0700) == 0;
}
