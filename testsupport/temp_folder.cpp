#include "testsupport/temp_folder.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace vkt::test {

namespace {
std::filesystem::path& folder()
{
    static std::filesystem::path path;
    return path;
}
}  // namespace

const std::filesystem::path& tempFolder()
{
    auto& path = folder();
    if (path.empty()) {
        auto pattern = (std::filesystem::temp_directory_path() / "vkt-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create the test's temporary folder");
        path = pattern;
    }
    return path;
}

std::filesystem::path makeTempSubfolder(const char* name)
{
    auto path = tempFolder() / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

void useTempFolderForStores()
{
    const auto& path = tempFolder();
    setenv("VKT_REGISTRY_DIR", (path / "registry").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (path / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (path / "cache").c_str(), 1);
    setenv("XDG_DATA_HOME", (path / "data").c_str(), 1);
    setenv("XDG_STATE_HOME", (path / "state").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (path / "documents").c_str(), 1);
    setenv("HOME", (path / "home").c_str(), 1);
}

void removeTempFolder()
{
    auto& path = folder();
    if (path.empty() || std::getenv("VKT_KEEP_TEST_FILES"))
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    path.clear();
}

}  // namespace vkt::test
